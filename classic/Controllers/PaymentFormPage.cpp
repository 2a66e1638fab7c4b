#include "PaymentFormPage.h"

#include "StringFunctions.h"

#include <velquor/platform/HiddenFormPage.h>

#include <array>

namespace VelquorClassic {

namespace {

using Getter = const VelquorParams::Value& (VelquorParams::*)() const;

struct PageField {
  velquor::platform::HiddenFormField input;
  Getter value;
};

constexpr std::array<PageField, VelquorParams::kFieldCount> kPageFields = {{
    {{"hash", 3}, &VelquorParams::theHash},
    {{"api_key", 3}, &VelquorParams::apiKey},
    {{"return_url", 3}, &VelquorParams::returnURL},
    {{"mode", 3}, &VelquorParams::mode},
    {{"order_id", 3}, &VelquorParams::orderID},
    {{"amount", 3}, &VelquorParams::amount},
    {{"currency", 3}, &VelquorParams::currency},
    {{"description", 3}, &VelquorParams::theDescription},
    {{"name", 3}, &VelquorParams::name},
    {{"email", 3}, &VelquorParams::email},
    {{"phone", 2}, &VelquorParams::phone},
    {{"address_line_1", 3}, &VelquorParams::addressLine1},
    {{"address_line_2", 3}, &VelquorParams::addressLine2},
    {{"city", 2}, &VelquorParams::city},
    {{"state", 3}, &VelquorParams::state},
    {{"zip_code", 2}, &VelquorParams::zipCode},
    {{"country", 3}, &VelquorParams::country},
    {{"udf1", 2}, &VelquorParams::udf1},
    {{"udf2", 3}, &VelquorParams::udf2},
    {{"udf3", 3}, &VelquorParams::udf3},
    {{"udf4", 3}, &VelquorParams::udf4},
    {{"udf5", 3}, &VelquorParams::udf5},
    {{"timeout_duration", 3}, &VelquorParams::timeout_duration},
    {{"return_url_failure", 3}, &VelquorParams::return_url_failure},
    {{"return_url_cancel", 3}, &VelquorParams::return_url_cancel},
    {{"percent_tdr_by_user", 3}, &VelquorParams::percent_tdr_by_user},
    {{"flatfee_tdr_by_user", 3}, &VelquorParams::flatfee_tdr_by_user},
    {{"show_convenience_fee", 3}, &VelquorParams::show_convenience_fee},
    {{"split_enforce_strict", 3}, &VelquorParams::split_enforce_strict},
    {{"split_info", 3}, &VelquorParams::split_info},
    {{"payment_options", 3}, &VelquorParams::payment_options},
    {{"payment_page_display_text", 3}, &VelquorParams::payment_page_display_text},
    {{"allowed_bank_codes", 3}, &VelquorParams::allowed_bank_codes},
    {{"allowed_emi_tenure", 3}, &VelquorParams::allowed_emi_tenure},
    {{"allowed_bins", 3}, &VelquorParams::allowed_bins},
    {{"offer_code", 3}, &VelquorParams::offer_code},
    {{"product_details", 3}, &VelquorParams::product_details},
    {{"enable_auto_refund", 3}, &VelquorParams::enable_auto_refund},
}};

constexpr velquor::platform::HiddenFormTexts kTexts{
    "<form action=\"", "\" id=\"payment_form\" method=\"POST\">\n", "<input type=\"hidden\" value=\"", "",
    "<noscript><input type=\"submit\" value=\"Continue\"/></noscript></form>"
    "<script>function formAutoSubmit () {var payform = document.getElementById(\"payment_form\");"
    "payform.submit();}window.onload = formAutoSubmit;</script>"};

// Only the form's opening tag ends a line.
const velquor::platform::HiddenFormPage<VelquorParams::kFieldCount>& page() {
  static const velquor::platform::HiddenFormPage<VelquorParams::kFieldCount> page(kTexts, [] {
    std::array<velquor::platform::HiddenFormField, VelquorParams::kFieldCount> inputs{};
    for (std::size_t i = 0; i < inputs.size(); ++i) inputs[i] = kPageFields[i].input;
    return inputs;
  }());
  return page;
}

// The text a value stands for on the page: nil, the null value and "" are empty; a text is itself;
// any other value is its compact JSON text (text that is not UTF-8 inside it is replaced, never
// thrown over), kept in `storage`.
std::string_view pageText(const VelquorParams::Value& value, std::string& storage) {
  if (!StringFunctions::hasCharacters(value)) return {};
  if (value->is_string()) return value->get_ref<const std::string&>();
  storage = value->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return storage;
}

}  // namespace

std::string paymentFormPage(const VelquorParams* params, std::string_view endpoint) {
  std::array<std::string_view, VelquorParams::kFieldCount> values{};
  // Values that are not text are written as JSON text, which needs a home while the page is built.
  std::array<std::string, VelquorParams::kFieldCount> storage;
  if (params != nullptr) {
    for (std::size_t i = 0; i < kPageFields.size(); ++i) values[i] = pageText((params->*kPageFields[i].value)(), storage[i]);
  }
  return page().fill(endpoint, values);
}

}  // namespace VelquorClassic
