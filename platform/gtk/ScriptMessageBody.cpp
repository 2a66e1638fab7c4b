#include "ScriptMessageBody.h"

#include <glib.h>

#include <memory>
#include <string>

namespace velquor::gtk {

namespace {

using platform::ScriptMessageBody;

// The value's JSON text as JSON.stringify gives it, or why it has none.
struct JSONText {
  std::unique_ptr<char, decltype(&g_free)> text{nullptr, g_free};
  std::optional<std::string> refusal;  // JSON.stringify threw (a cycle)
};

JSONText jsonText(JSCValue* value) {
  JSONText result;
  JSCContext* context = jsc_value_get_context(value);
  jsc_context_clear_exception(context);
  result.text.reset(jsc_value_to_json(value, 0));
  if (!result.text) {
    if (JSCException* exception = jsc_context_get_exception(context)) {
      result.refusal = jsc_exception_get_message(exception);
      jsc_context_clear_exception(context);
    }
  }
  return result;
}

}  // namespace

ScriptMessageBody scriptMessageBodyFromValue(JSCValue* value) {
  if (value == nullptr || jsc_value_is_undefined(value)) return {};
  auto json = jsonText(value);
  if (json.refusal) return platform::scriptMessageBodyWithoutJSONForm(*json.refusal);
  if (!json.text) return {};  // no JSON form and no complaint: a function, say, which stringifies to nothing
  return platform::scriptMessageBodyFromJSONText(std::string_view(json.text.get()));
}

ScriptMessage bridgedScriptMessageFromValue(JSCValue* value) {
  if (value == nullptr || !jsc_value_is_object(value)) return {{false, std::nullopt}, std::nullopt};
  auto property = [](JSCValue* object, const char* name) {
    return std::unique_ptr<JSCValue, decltype(&g_object_unref)>(jsc_value_object_get_property(object, name), g_object_unref);
  };
  auto posted = property(value, "posted");
  if (!posted || !jsc_value_is_object(posted.get())) return {{false, std::nullopt}, std::nullopt};
  // The body on its own, exactly as a message posted straight to the handler.
  ScriptMessage message{scriptMessageBodyFromValue(property(posted.get(), "body").get()), platform::WKFrameInfo{}};
  auto mainFrame = property(value, "mainFrame");
  message.frame->isMainFrame = mainFrame && jsc_value_is_boolean(mainFrame.get()) && jsc_value_to_boolean(mainFrame.get());
  auto origin = property(value, "origin");
  if (origin && jsc_value_is_string(origin.get())) {
    std::unique_ptr<char, decltype(&g_free)> text(jsc_value_to_string(origin.get()), g_free);
    message.frame->securityOrigin =
        platform::WKSecurityOrigin::fromString(text ? text.get() : "").value_or(platform::WKSecurityOrigin());
  }
  return message;
}

}  // namespace velquor::gtk
