#pragma once

// Reads a payment form page back: the form's action and each hidden input's name and value, with
// the four attribute escapes decoded. Independent of the builders, so a fuzzer can check that a
// page carries exactly the texts that were put into it.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzz {

// The gateway names of the 38 hidden inputs, in the order both pages write them.
inline constexpr std::array<const char*, 38> kPageOrder = {
    "hash", "api_key", "return_url", "mode", "order_id", "amount", "currency", "description", "name", "email",
    "phone", "address_line_1", "address_line_2", "city", "state", "zip_code", "country", "udf1", "udf2", "udf3",
    "udf4", "udf5", "timeout_duration", "return_url_failure", "return_url_cancel", "percent_tdr_by_user",
    "flatfee_tdr_by_user", "show_convenience_fee", "split_enforce_strict", "split_info", "payment_options",
    "payment_page_display_text", "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code",
    "product_details", "enable_auto_refund"};

struct FormPage {
  std::string action;
  std::vector<std::pair<std::string, std::string>> inputs;  // name, value
};

inline std::optional<std::string> decodeAttribute(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"' || raw[i] == '<' || raw[i] == '>') return std::nullopt;  // must have been escaped
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};
    bool matched = false;
    for (const auto& [entity, c] : kEntities) {
      if (raw.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size() - 1;
        matched = true;
        break;
      }
    }
    if (!matched) return std::nullopt;  // a bare & must have been escaped too
  }
  return out;
}

// The attributes of the tag that starts at `at` (just after its element name), read in order as a
// browser would: name="value" pairs separated by white space, up to "/>" or ">".
struct Tag {
  std::vector<std::pair<std::string, std::string>> attributes;
  std::size_t end = 0;  // just past the tag
  std::optional<std::string> get(std::string_view name) const {
    for (const auto& [key, value] : attributes) {
      if (key == name) return value;
    }
    return std::nullopt;
  }
};

inline std::optional<Tag> readTag(std::string_view page, std::size_t at) {
  Tag tag;
  while (at < page.size()) {
    while (at < page.size() && page[at] == ' ') ++at;
    if (page.substr(at, 2) == "/>") {
      tag.end = at + 2;
      return tag;
    }
    if (page.substr(at, 1) == ">") {
      tag.end = at + 1;
      return tag;
    }
    const auto equals = page.find("=\"", at);
    if (equals == std::string_view::npos) return std::nullopt;
    const auto name = page.substr(at, equals - at);
    const auto valueStart = equals + 2;
    const auto valueEnd = page.find('"', valueStart);
    if (valueEnd == std::string_view::npos || name.find_first_of(" <>\"") != std::string_view::npos) return std::nullopt;
    auto value = decodeAttribute(page.substr(valueStart, valueEnd - valueStart));
    if (!value) return std::nullopt;
    tag.attributes.emplace_back(std::string(name), std::move(*value));
    at = valueEnd + 1;
  }
  return std::nullopt;
}

inline std::optional<FormPage> readFormPage(std::string_view page) {
  FormPage result;
  if (!page.starts_with("<form")) return std::nullopt;
  auto form = readTag(page, 5);
  if (!form || !form->get("action") || form->get("id") != "payment_form" || form->get("method") != "POST") {
    return std::nullopt;
  }
  result.action = *form->get("action");
  std::size_t at = form->end;
  constexpr std::string_view kInput = "<input";
  while ((at = page.find(kInput, at)) != std::string_view::npos) {
    auto tag = readTag(page, at + kInput.size());
    if (!tag) return std::nullopt;
    at = tag->end;
    if (tag->get("type") != "hidden") continue;  // the fallback submit button
    auto name = tag->get("name");
    auto value = tag->get("value");
    if (!name || !value) return std::nullopt;
    result.inputs.emplace_back(std::move(*name), std::move(*value));
  }
  return result;
}

}  // namespace fuzz
