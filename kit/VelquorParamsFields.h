#pragma once

#include "VelquorParams.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace VelquorKit {

// What the library knows of each field, one row per field in field order (which is also the
// coding-key order): its name, which is at once its coding key and the gateway's form-field name;
// its member; its argument of the full initializer; its place on the payment page.
struct VelquorParamsField {
  std::string_view key;
  std::string VelquorParams::*required = nullptr;  // exactly one of these two is set
  std::optional<std::string> VelquorParams::*optional = nullptr;
  VelquorParams::Argument VelquorParams::Required::*argument = nullptr;  // required fields only
  std::size_t pagePosition = 0;  // among the page's 38 inputs
  int pageSpaces = 0;            // between the value's closing quote and name=
};

inline constexpr std::size_t kVelquorParamsKeyCount = 38;
inline constexpr std::size_t kVelquorParamsRequiredKeyCount = 22;

#define VELQUOR_REQUIRED(member, argument, position, spaces) \
  VelquorParamsField{#member, &VelquorParams::member, nullptr, &VelquorParams::Required::argument, position, spaces}
#define VELQUOR_OPTIONAL(member, position) VelquorParamsField{#member, nullptr, &VelquorParams::member, nullptr, position, 11}

// The required fields come first; the page puts them in the gateway's order, the optional ones
// after them in field order.
inline constexpr std::array<VelquorParamsField, kVelquorParamsKeyCount> kVelquorParamsFields = {
    VELQUOR_REQUIRED(api_key, apiKey, 1, 8),
    VELQUOR_REQUIRED(order_id, orderId, 4, 7),
    VELQUOR_REQUIRED(hash, hash, 0, 19),
    VELQUOR_REQUIRED(amount, amount, 5, 9),
    VELQUOR_REQUIRED(mode, mode, 3, 11),
    VELQUOR_REQUIRED(name, name, 8, 11),
    VELQUOR_REQUIRED(phone, phone, 10, 10),
    VELQUOR_REQUIRED(email, email, 9, 10),
    VELQUOR_REQUIRED(currency, currency, 6, 7),
    VELQUOR_REQUIRED(country, country, 16, 8),
    VELQUOR_REQUIRED(city, city, 13, 11),
    VELQUOR_REQUIRED(state, state, 14, 10),
    VELQUOR_REQUIRED(address_line_1, addressLine1, 11, 1),
    VELQUOR_REQUIRED(address_line_2, addressLine2, 12, 1),
    VELQUOR_REQUIRED(zip_code, zipCode, 15, 7),
    VELQUOR_REQUIRED(return_url, returnURL, 2, 4),
    VELQUOR_REQUIRED(description, description, 7, 4),
    VELQUOR_REQUIRED(udf1, udf1, 17, 11),
    VELQUOR_REQUIRED(udf2, udf2, 18, 11),
    VELQUOR_REQUIRED(udf3, udf3, 19, 11),
    VELQUOR_REQUIRED(udf4, udf4, 20, 11),
    VELQUOR_REQUIRED(udf5, udf5, 21, 11),
    VELQUOR_OPTIONAL(timeout_duration, 22),
    VELQUOR_OPTIONAL(return_url_failure, 23),
    VELQUOR_OPTIONAL(return_url_cancel, 24),
    VELQUOR_OPTIONAL(percent_tdr_by_user, 25),
    VELQUOR_OPTIONAL(flatfee_tdr_by_user, 26),
    VELQUOR_OPTIONAL(show_convenience_fee, 27),
    VELQUOR_OPTIONAL(split_enforce_strict, 28),
    VELQUOR_OPTIONAL(split_info, 29),
    VELQUOR_OPTIONAL(payment_options, 30),
    VELQUOR_OPTIONAL(payment_page_display_text, 31),
    VELQUOR_OPTIONAL(allowed_bank_codes, 32),
    VELQUOR_OPTIONAL(allowed_emi_tenure, 33),
    VELQUOR_OPTIONAL(allowed_bins, 34),
    VELQUOR_OPTIONAL(offer_code, 35),
    VELQUOR_OPTIONAL(product_details, 36),
    VELQUOR_OPTIONAL(enable_auto_refund, 37),
};

#undef VELQUOR_REQUIRED
#undef VELQUOR_OPTIONAL

namespace fields_check {
constexpr bool requiredFirst() {
  for (std::size_t i = 0; i < kVelquorParamsKeyCount; ++i) {
    const auto& field = kVelquorParamsFields[i];
    const bool required = i < kVelquorParamsRequiredKeyCount;
    if ((field.required != nullptr) != required || (field.optional != nullptr) == required) return false;
    if ((field.argument != nullptr) != required) return false;
  }
  return true;
}
constexpr bool pagePositionsArePermutation() {
  std::array<bool, kVelquorParamsKeyCount> taken{};
  for (const auto& field : kVelquorParamsFields) {
    if (field.pagePosition >= taken.size() || taken[field.pagePosition]) return false;
    taken[field.pagePosition] = true;
  }
  return true;
}
}  // namespace fields_check
static_assert(fields_check::requiredFirst(), "22 required fields, each with its argument, then 16 optional ones");
static_assert(fields_check::pagePositionsArePermutation(), "every field has its own place on the page");

// A coding key is a row's position; its text is the row's key. Keys are matched exactly and
// case-sensitively, and none has an integer value: the record is coded as a keyed object only.
constexpr std::string_view stringValue(std::size_t codingKey) { return kVelquorParamsFields[codingKey].key; }

constexpr std::optional<std::size_t> codingKeyFromString(std::string_view text) {
  for (std::size_t i = 0; i < kVelquorParamsFields.size(); ++i) {
    if (kVelquorParamsFields[i].key == text) return i;
  }
  return std::nullopt;
}

}  // namespace VelquorKit
