#pragma once

// A typical parameters document, and one whose values are ten times longer.

#include <nlohmann/json.hpp>

#include <string>

namespace bench {

inline nlohmann::ordered_json typicalParams(int repeat = 1) {
  auto times = [repeat](const std::string& text) {
    std::string out;
    for (int i = 0; i < repeat; ++i) out += text;
    return out;
  };
  return {
      {"api_key", times("5f2b7c1e-8d4a-4e9b-a1c3-0f6d2e8b9a77")},
      {"order_id", times("ORD-2026-000123456")},
      {"hash", times("9c1185a5c5e9fc54612808977ee8f548b2258d31e0d6f5a2b4f9c3c8e1e7a2b6f3d4c5b6a7980")},
      {"amount", times("2499.00")},
      {"mode", times("LIVE")},
      {"name", times("Zoë Fernandes")},
      {"phone", times("9876543210")},
      {"email", times("zoe.fernandes@example.com")},
      {"currency", times("INR")},
      {"country", times("IND")},
      {"city", times("Bengaluru")},
      {"state", times("Karnataka")},
      {"address_line_1", times("12, Lake View Road")},
      {"address_line_2", times("Indiranagar 2nd Stage")},
      {"zip_code", times("560038")},
      {"return_url", times("https://merchant.example/payments/return")},
      {"description", times("Order 123456: 2 notebooks & 1 pen")},
      {"udf1", times("loyalty-42")},
      {"udf2", times("")},
      {"udf3", times("")},
      {"udf4", times("")},
      {"udf5", times("app-ios")},
      {"timeout_duration", times("600")},
      {"return_url_failure", times("https://merchant.example/payments/failure")},
      {"return_url_cancel", times("https://merchant.example/payments/cancel")},
      {"percent_tdr_by_user", times("0")},
      {"flatfee_tdr_by_user", times("0")},
      {"show_convenience_fee", times("N")},
      {"split_enforce_strict", times("N")},
      {"split_info", times("")},
      {"payment_options", times("cc,dc,nb,upi,wallet")},
      {"payment_page_display_text", times("Velquor demo store")},
      {"allowed_bank_codes", times("HDFC,ICIC,SBIN")},
      {"allowed_emi_tenure", times("3,6,9,12")},
      {"allowed_bins", times("411111,555555")},
      {"offer_code", times("NEWYEAR10")},
      {"product_details", times("[{\"sku\":\"NB-01\",\"qty\":2},{\"sku\":\"PN-07\",\"qty\":1}]")},
      {"enable_auto_refund", times("Y")},
  };
}

}  // namespace bench
