#pragma once

#include <nlohmann/json.hpp>

#include <jsc/jsc.h>

#include <optional>

namespace velquor::gtk {

// A posted script value as the body of a script message.
struct ScriptMessageBody {
  // False when the value cannot be a message body (a cycle, or nesting past the JSON depth
  // limit): such a message is dropped rather than delivered with a body it did not have.
  bool deliverable = true;
  // The value as JSON; nil for undefined and for what JSON has no form for (functions, symbols).
  std::optional<nlohmann::json> value;
};

// The JSON text of a value, as JSON.stringify gives it; null text means "no JSON form".
ScriptMessageBody scriptMessageBodyFromJSONText(const char* text);
ScriptMessageBody scriptMessageBodyFromValue(JSCValue* value);

}  // namespace velquor::gtk
