#include "PaymentFormPage.h"

#include "VelquorParamsFields.h"

#include <velquor/platform/HiddenFormPage.h>

#include <array>

namespace VelquorKit {

namespace {

using velquor::platform::HiddenFormField;
using velquor::platform::HiddenFormPage;

constexpr velquor::platform::HiddenFormTexts kTexts{
    "<form action=\"",
    "\" id=\"payment_form\" method=\"POST\">\n",
    "<input type=\"hidden\" value=\"",
    "\n",
    "<noscript><input type=\"submit\" value=\"Continue\"/></noscript>\n"
    "</form>\n"
    "<script>\n"
    "function formAutoSubmit () {\n"
    "    var payform = document.getElementById(\"payment_form\");\n"
    "    payform.submit();\n"
    "}\n"
    "window.onload = formAutoSubmit;\n"
    "</script>"};

// The fields' rows in page order.
constexpr std::array<const VelquorParamsField*, kVelquorParamsKeyCount> kPageOrder = [] {
  std::array<const VelquorParamsField*, kVelquorParamsKeyCount> order{};
  for (const auto& field : kVelquorParamsFields) order[field.pagePosition] = &field;
  return order;
}();

const HiddenFormPage<kVelquorParamsKeyCount>& page() {
  static const HiddenFormPage<kVelquorParamsKeyCount> page(kTexts, [] {
    std::array<HiddenFormField, kVelquorParamsKeyCount> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = {kPageOrder[i]->key, kPageOrder[i]->pageSpaces};
    return fields;
  }());
  return page;
}

std::string_view valueOf(const VelquorParams& params, const VelquorParamsField& field) {
  if (field.required) return params.*field.required;
  const auto& optional = params.*field.optional;
  return optional ? std::string_view(*optional) : std::string_view();
}

}  // namespace

std::string paymentFormPage(const VelquorParams& params, std::string_view endpoint) {
  std::array<std::string_view, kVelquorParamsKeyCount> values;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = valueOf(params, *kPageOrder[i]);
  return page().fill(endpoint, values);
}

}  // namespace VelquorKit
