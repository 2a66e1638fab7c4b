#include "ScriptMessageBody.h"

#include <velquor/platform/JSONReading.h>

#include <glib.h>

namespace velquor::gtk {

ScriptMessageBody scriptMessageBodyFromJSONText(const char* text) {
  if (text == nullptr) return {};
  try {
    return {true, platform::readJSON(text)};
  } catch (const platform::JSONReadingError& error) {
    g_warning("velquor: dropped a script message whose body cannot be read: %s", error.what());
    return {false, std::nullopt};
  }
}

ScriptMessageBody scriptMessageBodyFromValue(JSCValue* value) {
  if (value == nullptr || jsc_value_is_undefined(value)) return {};
  JSCContext* context = jsc_value_get_context(value);
  jsc_context_clear_exception(context);
  char* text = jsc_value_to_json(value, 0);
  if (text == nullptr) {
    // JSON.stringify threw (a cycle): the value has no JSON form at all.
    if (JSCException* exception = jsc_context_get_exception(context)) {
      g_warning("velquor: dropped a script message whose body has no JSON form: %s", jsc_exception_get_message(exception));
      jsc_context_clear_exception(context);
      return {false, std::nullopt};
    }
    return {};
  }
  auto body = scriptMessageBodyFromJSONText(text);
  g_free(text);
  return body;
}

}  // namespace velquor::gtk
