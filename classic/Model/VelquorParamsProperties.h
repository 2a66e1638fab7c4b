#pragma once

#include "VelquorParams.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace VelquorClassic {

// What the library knows of each field: its gateway key, its property name and its getter.
struct VelquorParamsProperty {
  std::string_view jsonKey;
  std::string_view name;
  const VelquorParams::Value& (VelquorParams::*value)() const;
};

// The fields in declaration order (the order of VelquorParams::Field), each with its gateway key.
inline constexpr std::array<VelquorParamsProperty, VelquorParams::kFieldCount> kVelquorParamsProperties = {{
    {"address_line_1", "addressLine1", &VelquorParams::addressLine1},
    {"address_line_2", "addressLine2", &VelquorParams::addressLine2},
    {"amount", "amount", &VelquorParams::amount},
    {"api_key", "apiKey", &VelquorParams::apiKey},
    {"city", "city", &VelquorParams::city},
    {"country", "country", &VelquorParams::country},
    {"currency", "currency", &VelquorParams::currency},
    {"description", "theDescription", &VelquorParams::theDescription},
    {"email", "email", &VelquorParams::email},
    {"hash", "theHash", &VelquorParams::theHash},
    {"mode", "mode", &VelquorParams::mode},
    {"name", "name", &VelquorParams::name},
    {"order_id", "orderID", &VelquorParams::orderID},
    {"phone", "phone", &VelquorParams::phone},
    {"return_url", "returnURL", &VelquorParams::returnURL},
    {"state", "state", &VelquorParams::state},
    {"udf1", "udf1", &VelquorParams::udf1},
    {"udf2", "udf2", &VelquorParams::udf2},
    {"udf3", "udf3", &VelquorParams::udf3},
    {"udf4", "udf4", &VelquorParams::udf4},
    {"udf5", "udf5", &VelquorParams::udf5},
    {"zip_code", "zipCode", &VelquorParams::zipCode},
    {"timeout_duration", "timeout_duration", &VelquorParams::timeout_duration},
    {"return_url_failure", "return_url_failure", &VelquorParams::return_url_failure},
    {"return_url_cancel", "return_url_cancel", &VelquorParams::return_url_cancel},
    {"percent_tdr_by_user", "percent_tdr_by_user", &VelquorParams::percent_tdr_by_user},
    {"flatfee_tdr_by_user", "flatfee_tdr_by_user", &VelquorParams::flatfee_tdr_by_user},
    {"show_convenience_fee", "show_convenience_fee", &VelquorParams::show_convenience_fee},
    {"split_enforce_strict", "split_enforce_strict", &VelquorParams::split_enforce_strict},
    {"split_info", "split_info", &VelquorParams::split_info},
    {"payment_options", "payment_options", &VelquorParams::payment_options},
    {"payment_page_display_text", "payment_page_display_text", &VelquorParams::payment_page_display_text},
    {"allowed_bank_codes", "allowed_bank_codes", &VelquorParams::allowed_bank_codes},
    {"allowed_emi_tenure", "allowed_emi_tenure", &VelquorParams::allowed_emi_tenure},
    {"allowed_bins", "allowed_bins", &VelquorParams::allowed_bins},
    {"offer_code", "offer_code", &VelquorParams::offer_code},
    {"product_details", "product_details", &VelquorParams::product_details},
    {"enable_auto_refund", "enable_auto_refund", &VelquorParams::enable_auto_refund},
}};

// The fields in the order a JSON object keeps their keys (byte order), the order they are written in.
inline constexpr std::array<std::size_t, VelquorParams::kFieldCount> kVelquorParamsFieldsInKeyOrder = [] {
  std::array<std::size_t, VelquorParams::kFieldCount> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto keyAt = [](std::size_t field) { return kVelquorParamsProperties[field].jsonKey; };
  for (std::size_t i = 1; i < order.size(); ++i) {
    for (std::size_t j = i; j > 0 && keyAt(order[j]) < keyAt(order[j - 1]); --j) std::swap(order[j], order[j - 1]);
  }
  return order;
}();

namespace properties_check {
constexpr bool keysStrictlyIncreasingInKeyOrder() {
  for (std::size_t i = 1; i < kVelquorParamsFieldsInKeyOrder.size(); ++i) {
    const auto& previous = kVelquorParamsProperties[kVelquorParamsFieldsInKeyOrder[i - 1]];
    if (!(previous.jsonKey < kVelquorParamsProperties[kVelquorParamsFieldsInKeyOrder[i]].jsonKey)) return false;
  }
  return true;
}
}  // namespace properties_check
static_assert(properties_check::keysStrictlyIncreasingInKeyOrder(), "38 distinct keys, sorted as an object keeps them");

}  // namespace VelquorClassic
