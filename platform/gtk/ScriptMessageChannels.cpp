#include "ScriptMessageChannels.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace velquor::gtk {

namespace {

// The page world's stand-in for window.webkit.messageHandlers.NAME. Like WebKit's own handler it
// drops, without a word, a value that cannot be copied to another world (a function, a symbol).
constexpr const char* kPageScript = R"JS((() => {
  const name = @NAME@, type = @EVENT@;
  const handler = Object.freeze({
    postMessage(body) {
      try { structuredClone(body); } catch (error) { return; }
      document.dispatchEvent(new CustomEvent(type, {detail: {body}}));
    }
  });
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
  Object.defineProperty(handlers, name, {value: handler, configurable: true, enumerable: true});
})();)JS";

// The client world's listener: says, as only its own world can, whether its document is the
// top-level one and what its origin is.
constexpr const char* kWorldScript = R"JS((() => {
  const handler = window.webkit.messageHandlers[@NAME@], type = @EVENT@;
  document.addEventListener(type, (event) => {
    const posted = event.detail;
    handler.postMessage({
      mainFrame: window.top === window,
      origin: location.origin,
      posted: posted !== null && typeof posted === "object" ? posted : {},
    });
  });
})();)JS";

std::string withNames(std::string script, const std::string& name) {
  auto replace = [&script](const std::string& placeholder, const std::string& text) {
    for (auto at = script.find(placeholder); at != std::string::npos; at = script.find(placeholder, at + text.size())) {
      script.replace(at, placeholder.size(), text);
    }
  };
  // As JavaScript string literals: a name is any text.
  replace("@NAME@", nlohmann::json(name).dump(-1, ' ', true));
  replace("@EVENT@", nlohmann::json("velquor-bridge:" + name).dump(-1, ' ', true));
  return script;
}

}  // namespace

ScriptMessageChannels::ScriptMessageChannels(WebKitUserContentManager* manager, Receiver receiver)
    : manager_(GObjectRef<WebKitUserContentManager>::retain(manager)), receiver_(std::move(receiver)) {}

ScriptMessageChannels::~ScriptMessageChannels() {
  while (!channels_.empty()) close(channels_.begin()->first);
}

void ScriptMessageChannels::sync(const std::vector<Registration>& registrations) {
  std::vector<std::string> stale;
  for (const auto& open : channels_) {
    const auto& current = open.second->registration;
    const bool listed = std::any_of(registrations.begin(), registrations.end(), [&current](const Registration& registration) {
      return registration.name == current.name && registration.world == current.world;
    });
    if (!listed) stale.push_back(current.name);
  }
  for (const auto& name : stale) close(name);
  for (const auto& registration : registrations) {
    if (!channels_.contains(registration.name)) open(registration);
  }
}

std::vector<std::string> ScriptMessageChannels::names() const {
  std::vector<std::string> names;
  for (const auto& [name, channel] : channels_) names.push_back(name);
  return names;
}

void ScriptMessageChannels::open(const Registration& registration) {
  const auto& name = registration.name;
  const char* world = registration.world.isPageWorld() ? nullptr : registration.world.name().c_str();
  auto channel = std::make_unique<Channel>(Channel{this, registration, 0, {}});
  // Connected before registering, so that no message can arrive unheard.
  const std::string signal = "script-message-received::" + name;
  channel->handlerId = g_signal_connect(manager_.get(), signal.c_str(), G_CALLBACK(received), channel.get());
  if (!webkit_user_content_manager_register_script_message_handler(manager_.get(), name.c_str(), world)) {
    g_signal_handler_disconnect(manager_.get(), channel->handlerId);
    g_warning("velquor: WebKit refused the script message handler name \"%s\"", name.c_str());
    return;
  }
  if (world) {
    // Into every document from its start, before any of the page's own scripts run.
    const auto pageScript = withNames(kPageScript, name);
    const auto worldScript = withNames(kWorldScript, name);
    channel->bridge.emplace_back(
        webkit_user_script_new(pageScript.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr),
        webkit_user_script_unref);
    channel->bridge.emplace_back(
        webkit_user_script_new_for_world(worldScript.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                         WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, world, nullptr, nullptr),
        webkit_user_script_unref);
    for (const auto& script : channel->bridge) webkit_user_content_manager_add_script(manager_.get(), script.get());
  }
  channels_.emplace(name, std::move(channel));
}

void ScriptMessageChannels::close(const std::string& name) {
  auto it = channels_.find(name);
  if (it == channels_.end()) return;
  const auto& world = it->second->registration.world;
  for (const auto& script : it->second->bridge) webkit_user_content_manager_remove_script(manager_.get(), script.get());
  webkit_user_content_manager_unregister_script_message_handler(manager_.get(), name.c_str(),
                                                                world.isPageWorld() ? nullptr : world.name().c_str());
  g_signal_handler_disconnect(manager_.get(), it->second->handlerId);
  channels_.erase(it);
}

void ScriptMessageChannels::received(WebKitUserContentManager*, JSCValue* value, gpointer data) {
  auto* channel = static_cast<Channel*>(data);
  ScriptMessage message = channel->registration.world.isPageWorld()
                              ? ScriptMessage{scriptMessageBodyFromValue(value), std::nullopt}
                              : bridgedScriptMessageFromValue(value);
  if (!message.body.deliverable) return;
  // The receiver may unregister this very channel; keep its name.
  const std::string name = channel->registration.name;
  channel->owner->receiver_(name, std::move(message));
}

}  // namespace velquor::gtk
