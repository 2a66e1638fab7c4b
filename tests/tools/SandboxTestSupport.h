#pragma once

#include "FormBody.h"
#include "PaymentPage.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace sandbox_test {

// Every required field, with plain sample values.
inline velquor::sandbox::FormFields completeFields() {
  velquor::sandbox::FormFields fields;
  for (const auto name : velquor::sandbox::kRequiredPaymentFields) fields.emplace_back(name, "v_" + std::string(name));
  return fields;
}

inline void setField(velquor::sandbox::FormFields& fields, std::string_view name, std::string value) {
  for (auto& field : fields) {
    if (field.first == name) field.second = value;
  }
}

// The script element's text: from after "<script>" to the first "</script" (as an HTML parser ends it).
inline std::string scriptText(const std::string& page) {
  const auto start = page.find("<script>");
  if (start == std::string::npos) return {};
  const auto textStart = start + std::string_view("<script>").size();
  return page.substr(textStart, page.find("</script", textStart) - textStart);
}

// The two result messages embedded in the page's script, parsed back.
inline nlohmann::ordered_json embeddedResults(const std::string& page) {
  const std::string script = scriptText(page);
  constexpr std::string_view kStart = "const velquorResults = ";
  const auto start = script.find(kStart);
  if (start == std::string::npos) return {};
  const auto jsonStart = start + kStart.size();
  const auto end = script.find(";\nfunction postResult", jsonStart);
  if (end == std::string::npos) return {};
  return nlohmann::ordered_json::parse(script.substr(jsonStart, end - jsonStart));
}

}  // namespace sandbox_test
