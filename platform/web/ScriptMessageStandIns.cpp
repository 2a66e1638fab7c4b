#include "ScriptMessageStandIns.h"

namespace velquor::platform {

namespace {

constexpr const char* kEventPrefix = "velquor-bridge:";

constexpr const char* kStandInsScript = R"JS((() => {
  const names = @NAMES@, prefix = @PREFIX@;
  let webkit = window.webkit;
  if (webkit === undefined) {
    webkit = {};
    Object.defineProperty(window, "webkit", {value: webkit, configurable: true});
  }
  let handlers = webkit.messageHandlers;
  if (handlers === undefined) {
    handlers = {};
    Object.defineProperty(webkit, "messageHandlers", {value: handlers, configurable: true});
  }
  // Taken before any of the page's scripts run: the page cannot change how its messages leave.
  const clone = window.structuredClone, Event = window.CustomEvent, root = document;
  const dispatch = EventTarget.prototype.dispatchEvent;
  for (const name of names) {
    const type = prefix + name;
    const handler = Object.freeze({
      postMessage(body) {
        try { clone(body); } catch (error) { return; }
        dispatch.call(root, new Event(type, {detail: {body}}));
      }
    });
    Object.defineProperty(handlers, name, {value: handler, configurable: true, enumerable: true});
  }
})();)JS";

}  // namespace

std::string scriptMessageEventType(const std::string& name) { return kEventPrefix + name; }

std::string scriptMessageStandInsScript(const std::vector<std::string>& names) {
  return withScriptLiterals(kStandInsScript, {{"@NAMES@", names}, {"@PREFIX@", kEventPrefix}});
}

std::string withScriptLiterals(std::string script, const std::vector<std::pair<std::string, nlohmann::json>>& literals) {
  for (const auto& [placeholder, value] : literals) {
    // ASCII-only JSON is a JavaScript literal too (U+2028 and U+2029 come out escaped).
    const std::string text = value.dump(-1, ' ', true);
    for (auto at = script.find(placeholder); at != std::string::npos; at = script.find(placeholder, at + text.size())) {
      script.replace(at, placeholder.size(), text);
    }
  }
  return script;
}

}  // namespace velquor::platform
