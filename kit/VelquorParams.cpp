#include "VelquorParams.h"

#include "VelquorParamsCodingKeys.h"

#include <array>

namespace VelquorKit {

using velquor::platform::Decoder;
using velquor::platform::Encoder;

namespace {

using Key = VelquorParamsCodingKeys;
using Required = std::string VelquorParams::*;
using Optional = std::optional<std::string> VelquorParams::*;

// Field order = key order; the coding reads and writes in this order.
constexpr std::array<Required, kVelquorParamsRequiredKeyCount> kRequiredFields = {
    &VelquorParams::api_key, &VelquorParams::order_id, &VelquorParams::hash, &VelquorParams::amount,
    &VelquorParams::mode, &VelquorParams::name, &VelquorParams::phone, &VelquorParams::email,
    &VelquorParams::currency, &VelquorParams::country, &VelquorParams::city, &VelquorParams::state,
    &VelquorParams::address_line_1, &VelquorParams::address_line_2, &VelquorParams::zip_code,
    &VelquorParams::return_url, &VelquorParams::description, &VelquorParams::udf1, &VelquorParams::udf2,
    &VelquorParams::udf3, &VelquorParams::udf4, &VelquorParams::udf5,
};

constexpr std::array<Optional, kVelquorParamsKeyCount - kVelquorParamsRequiredKeyCount> kOptionalFields = {
    &VelquorParams::timeout_duration, &VelquorParams::return_url_failure, &VelquorParams::return_url_cancel,
    &VelquorParams::percent_tdr_by_user, &VelquorParams::flatfee_tdr_by_user, &VelquorParams::show_convenience_fee,
    &VelquorParams::split_enforce_strict, &VelquorParams::split_info, &VelquorParams::payment_options,
    &VelquorParams::payment_page_display_text, &VelquorParams::allowed_bank_codes,
    &VelquorParams::allowed_emi_tenure, &VelquorParams::allowed_bins, &VelquorParams::offer_code,
    &VelquorParams::product_details, &VelquorParams::enable_auto_refund,
};

constexpr std::string_view requiredKey(std::size_t i) { return stringValue(static_cast<Key>(i)); }
constexpr std::string_view optionalKey(std::size_t i) {
  return stringValue(static_cast<Key>(kVelquorParamsRequiredKeyCount + i));
}

}  // namespace

VelquorParams::VelquorParams() = default;

VelquorParams::VelquorParams(Required arguments)
    : api_key(std::move(arguments.apiKey).take()),
      order_id(std::move(arguments.orderId).take()),
      hash(std::move(arguments.hash).take()),
      amount(std::move(arguments.amount).take()),
      mode(std::move(arguments.mode).take()),
      name(std::move(arguments.name).take()),
      phone(std::move(arguments.phone).take()),
      email(std::move(arguments.email).take()),
      currency(std::move(arguments.currency).take()),
      country(std::move(arguments.country).take()),
      city(std::move(arguments.city).take()),
      state(std::move(arguments.state).take()),
      address_line_1(std::move(arguments.addressLine1).take()),
      address_line_2(std::move(arguments.addressLine2).take()),
      zip_code(std::move(arguments.zipCode).take()),
      return_url(std::move(arguments.returnURL).take()),
      description(std::move(arguments.description).take()),
      udf1(std::move(arguments.udf1).take()),
      udf2(std::move(arguments.udf2).take()),
      udf3(std::move(arguments.udf3).take()),
      udf4(std::move(arguments.udf4).take()),
      udf5(std::move(arguments.udf5).take()) {}

VelquorParams::VelquorParams(const Decoder& decoder) {
  const auto container = decoder.container();
  for (std::size_t i = 0; i < kRequiredFields.size(); ++i) this->*kRequiredFields[i] = container.decodeString(requiredKey(i));
  for (std::size_t i = 0; i < kOptionalFields.size(); ++i) {
    this->*kOptionalFields[i] = container.decodeStringIfPresent(optionalKey(i));
  }
}

void VelquorParams::encode(Encoder& encoder) const {
  auto container = encoder.container();
  for (std::size_t i = 0; i < kRequiredFields.size(); ++i) container.encodeString(this->*kRequiredFields[i], requiredKey(i));
  for (std::size_t i = 0; i < kOptionalFields.size(); ++i) {
    container.encodeStringIfPresent(this->*kOptionalFields[i], optionalKey(i));
  }
}

void to_json(nlohmann::json& document, const VelquorParams& params) {
  document = nlohmann::json::object();
  Encoder encoder(document);
  params.encode(encoder);
}

void from_json(const nlohmann::json& document, VelquorParams& params) { params = VelquorParams(Decoder(document)); }

}  // namespace VelquorKit
