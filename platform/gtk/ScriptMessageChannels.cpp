#include "ScriptMessageChannels.h"

#include <algorithm>

namespace velquor::gtk {

ScriptMessageChannels::ScriptMessageChannels(WebKitUserContentManager* manager, Receiver receiver)
    : manager_(GObjectRef<WebKitUserContentManager>::retain(manager)), receiver_(std::move(receiver)) {}

ScriptMessageChannels::~ScriptMessageChannels() {
  while (!channels_.empty()) close(channels_.begin()->first);
}

void ScriptMessageChannels::sync(const std::vector<std::string>& names) {
  std::vector<std::string> stale;
  for (const auto& [name, channel] : channels_) {
    if (std::find(names.begin(), names.end(), name) == names.end()) stale.push_back(name);
  }
  for (const auto& name : stale) close(name);
  for (const auto& name : names) {
    if (!channels_.contains(name)) open(name);
  }
}

std::vector<std::string> ScriptMessageChannels::names() const {
  std::vector<std::string> names;
  for (const auto& [name, channel] : channels_) names.push_back(name);
  return names;
}

void ScriptMessageChannels::open(const std::string& name) {
  auto channel = std::make_unique<Channel>(Channel{this, name});
  // Connected before registering, so that no message can arrive unheard.
  const std::string signal = "script-message-received::" + name;
  channel->handlerId = g_signal_connect(manager_.get(), signal.c_str(), G_CALLBACK(received), channel.get());
  if (!webkit_user_content_manager_register_script_message_handler(manager_.get(), name.c_str(), nullptr)) {
    g_signal_handler_disconnect(manager_.get(), channel->handlerId);
    g_warning("velquor: WebKit refused the script message handler name \"%s\"", name.c_str());
    return;
  }
  channels_.emplace(name, std::move(channel));
}

void ScriptMessageChannels::close(const std::string& name) {
  auto it = channels_.find(name);
  if (it == channels_.end()) return;
  webkit_user_content_manager_unregister_script_message_handler(manager_.get(), name.c_str(), nullptr);
  g_signal_handler_disconnect(manager_.get(), it->second->handlerId);
  channels_.erase(it);
}

void ScriptMessageChannels::received(WebKitUserContentManager*, JSCValue* value, gpointer data) {
  auto* channel = static_cast<Channel*>(data);
  auto body = scriptMessageBodyFromValue(value);
  if (!body.deliverable) return;
  // The receiver may unregister this very channel; keep its name.
  const std::string name = channel->name;
  channel->owner->receiver_(name, std::move(body));
}

}  // namespace velquor::gtk
