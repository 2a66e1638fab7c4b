#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

namespace velquor::platform {

// What a posted script value becomes as the body of a script message. Every toolkit turns the
// engine's value into a body through these, so that all of them deliver, drop and warn alike.
struct ScriptMessageBody {
  // False when the value cannot be a message body (a cycle, or nesting past the JSON depth limit):
  // such a message is dropped, with a warning, rather than delivered with a body it did not have.
  bool deliverable = true;
  // The value as JSON; nil for undefined.
  std::optional<nlohmann::json> value;
};

// From JSON.stringify's text of the value; no text: undefined.
VELQUOR_PLATFORM_EXPORT ScriptMessageBody scriptMessageBodyFromJSONText(std::optional<std::string_view> text);
// A value JSON.stringify refused (a cycle): dropped, with `reason` in the warning.
VELQUOR_PLATFORM_EXPORT ScriptMessageBody scriptMessageBodyWithoutJSONForm(std::string_view reason);
// From a value already held as JSON (an in-memory engine): the same as from its text.
VELQUOR_PLATFORM_EXPORT ScriptMessageBody scriptMessageBodyFromJSON(const std::optional<nlohmann::json>& value);

// How deeply `value` nests arrays and objects (a scalar: 0), counted without recursion and
// only up to `limit` + 1.
VELQUOR_PLATFORM_EXPORT std::size_t jsonNestingDepth(const nlohmann::json& value, std::size_t limit);

}  // namespace velquor::platform
