#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace VelquorKit {

// The record's coding keys, one per field in field order; each key's text is the field's name.
// Keys are keyed only: none has an integer value.
enum class VelquorParamsCodingKeys : unsigned char {
  api_key, order_id, hash, amount, mode, name, phone, email, currency, country, city, state,
  address_line_1, address_line_2, zip_code, return_url, description, udf1, udf2, udf3, udf4, udf5,
  timeout_duration, return_url_failure, return_url_cancel, percent_tdr_by_user, flatfee_tdr_by_user,
  show_convenience_fee, split_enforce_strict, split_info, payment_options, payment_page_display_text,
  allowed_bank_codes, allowed_emi_tenure, allowed_bins, offer_code, product_details, enable_auto_refund,
};

inline constexpr std::size_t kVelquorParamsKeyCount = 38;
inline constexpr std::size_t kVelquorParamsRequiredKeyCount = 22;

inline constexpr std::array<std::string_view, kVelquorParamsKeyCount> kVelquorParamsKeyTexts = {
    "api_key", "order_id", "hash", "amount", "mode", "name", "phone", "email", "currency", "country", "city",
    "state", "address_line_1", "address_line_2", "zip_code", "return_url", "description", "udf1", "udf2", "udf3",
    "udf4", "udf5", "timeout_duration", "return_url_failure", "return_url_cancel", "percent_tdr_by_user",
    "flatfee_tdr_by_user", "show_convenience_fee", "split_enforce_strict", "split_info", "payment_options",
    "payment_page_display_text", "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code",
    "product_details", "enable_auto_refund",
};

constexpr std::string_view stringValue(VelquorParamsCodingKeys key) {
  return kVelquorParamsKeyTexts[static_cast<std::size_t>(key)];
}

constexpr std::optional<int> intValue(VelquorParamsCodingKeys) { return std::nullopt; }

// init(stringValue:): exact, case-sensitive match against the 38 texts.
constexpr std::optional<VelquorParamsCodingKeys> codingKeyFromString(std::string_view text) {
  for (std::size_t i = 0; i < kVelquorParamsKeyTexts.size(); ++i) {
    if (kVelquorParamsKeyTexts[i] == text) return static_cast<VelquorParamsCodingKeys>(i);
  }
  return std::nullopt;
}

// init(intValue:): no key has an integer value.
constexpr std::optional<VelquorParamsCodingKeys> codingKeyFromInt(int) { return std::nullopt; }

}  // namespace VelquorKit
