#include "PaymentFormPage.h"

#include <velquor/platform/HTMLAttributeTemplate.h>

#include <array>
#include <optional>

namespace VelquorKit {

namespace {

struct PageField {
  std::string_view name;
  int spaces;  // between the value's closing quote and name=
  std::string VelquorParams::*required;
  std::optional<std::string> VelquorParams::*optional;
};

// Page order: the required fields in the gateway's order, then the optional ones in field order.
constexpr std::array<PageField, 38> kPageFields = {{
    {"hash", 19, &VelquorParams::hash, nullptr},
    {"api_key", 8, &VelquorParams::api_key, nullptr},
    {"return_url", 4, &VelquorParams::return_url, nullptr},
    {"mode", 11, &VelquorParams::mode, nullptr},
    {"order_id", 7, &VelquorParams::order_id, nullptr},
    {"amount", 9, &VelquorParams::amount, nullptr},
    {"currency", 7, &VelquorParams::currency, nullptr},
    {"description", 4, &VelquorParams::description, nullptr},
    {"name", 11, &VelquorParams::name, nullptr},
    {"email", 10, &VelquorParams::email, nullptr},
    {"phone", 10, &VelquorParams::phone, nullptr},
    {"address_line_1", 1, &VelquorParams::address_line_1, nullptr},
    {"address_line_2", 1, &VelquorParams::address_line_2, nullptr},
    {"city", 11, &VelquorParams::city, nullptr},
    {"state", 10, &VelquorParams::state, nullptr},
    {"zip_code", 7, &VelquorParams::zip_code, nullptr},
    {"country", 8, &VelquorParams::country, nullptr},
    {"udf1", 11, &VelquorParams::udf1, nullptr},
    {"udf2", 11, &VelquorParams::udf2, nullptr},
    {"udf3", 11, &VelquorParams::udf3, nullptr},
    {"udf4", 11, &VelquorParams::udf4, nullptr},
    {"udf5", 11, &VelquorParams::udf5, nullptr},
    {"timeout_duration", 11, nullptr, &VelquorParams::timeout_duration},
    {"return_url_failure", 11, nullptr, &VelquorParams::return_url_failure},
    {"return_url_cancel", 11, nullptr, &VelquorParams::return_url_cancel},
    {"percent_tdr_by_user", 11, nullptr, &VelquorParams::percent_tdr_by_user},
    {"flatfee_tdr_by_user", 11, nullptr, &VelquorParams::flatfee_tdr_by_user},
    {"show_convenience_fee", 11, nullptr, &VelquorParams::show_convenience_fee},
    {"split_enforce_strict", 11, nullptr, &VelquorParams::split_enforce_strict},
    {"split_info", 11, nullptr, &VelquorParams::split_info},
    {"payment_options", 11, nullptr, &VelquorParams::payment_options},
    {"payment_page_display_text", 11, nullptr, &VelquorParams::payment_page_display_text},
    {"allowed_bank_codes", 11, nullptr, &VelquorParams::allowed_bank_codes},
    {"allowed_emi_tenure", 11, nullptr, &VelquorParams::allowed_emi_tenure},
    {"allowed_bins", 11, nullptr, &VelquorParams::allowed_bins},
    {"offer_code", 11, nullptr, &VelquorParams::offer_code},
    {"product_details", 11, nullptr, &VelquorParams::product_details},
    {"enable_auto_refund", 11, nullptr, &VelquorParams::enable_auto_refund},
}};

constexpr std::string_view kFormOpen = "<form action=\"";
constexpr std::string_view kFormOpenEnd = "\" id=\"payment_form\" method=\"POST\">\n";
constexpr std::string_view kInputOpen = "<input type=\"hidden\" value=\"";
constexpr std::string_view kTail =
    "<noscript><input type=\"submit\" value=\"Continue\"/></noscript>\n"
    "</form>\n"
    "<script>\n"
    "function formAutoSubmit () {\n"
    "    var payform = document.getElementById(\"payment_form\");\n"
    "    payform.submit();\n"
    "}\n"
    "window.onload = formAutoSubmit;\n"
    "</script>";

constexpr std::size_t kInsertions = 1 + kPageFields.size();
using PageTemplate = velquor::platform::HTMLAttributeTemplate<kInsertions>;

// The fixed text around the 39 insertions: the endpoint, then the values in page order.
const PageTemplate& pageTemplate() {
  static const PageTemplate page([](std::size_t i, std::string& text) {
    if (i == 0) {
      text.append(kFormOpen);
      return;
    }
    text.append(i == 1 ? kFormOpenEnd : std::string_view());
    if (i >= 2) {
      const auto& field = kPageFields[i - 2];
      text.append(1, '"').append(static_cast<std::size_t>(field.spaces), ' ');
      text.append("name=\"").append(field.name).append("\"/>\n");
    }
    text.append(i < kInsertions ? kInputOpen : kTail);
  });
  return page;
}

std::string_view valueOf(const VelquorParams& params, const PageField& field) {
  if (field.required) return params.*field.required;
  const auto& optional = params.*field.optional;
  return optional ? std::string_view(*optional) : std::string_view();
}

}  // namespace

std::string paymentFormPage(const VelquorParams& params, std::string_view endpoint) {
  std::array<std::string_view, kInsertions> insertions;
  insertions[0] = endpoint;
  for (std::size_t i = 0; i < kPageFields.size(); ++i) insertions[i + 1] = valueOf(params, kPageFields[i]);
  return pageTemplate().fill(insertions);
}

}  // namespace VelquorKit
