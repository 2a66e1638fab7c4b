#include "ScriptMessageChannels.h"

#include <velquor/platform/ScriptMessageStandIns.h>

#include <algorithm>

namespace velquor::gtk {

namespace {

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
    const auto pageScript = platform::scriptMessageStandInsScript({name});
    const auto worldScript =
        platform::withScriptLiterals(kWorldScript, {{"@NAME@", name}, {"@EVENT@", platform::scriptMessageEventType(name)}});
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
