#pragma once

#include "GObjectRef.h"
#include "ScriptMessageBody.h"

#include <webkit/webkit.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velquor::gtk {

// The script-message handler names of one WebKitUserContentManager, kept equal to a list of
// names: page script can post under exactly those (window.webkit.messageHandlers.NAME).
class ScriptMessageChannels {
 public:
  using Receiver = std::function<void(const std::string& name, ScriptMessageBody body)>;

  ScriptMessageChannels(WebKitUserContentManager* manager, Receiver receiver);
  ~ScriptMessageChannels();
  ScriptMessageChannels(const ScriptMessageChannels&) = delete;
  ScriptMessageChannels& operator=(const ScriptMessageChannels&) = delete;

  // Registers the names not yet registered and unregisters those no longer listed.
  void sync(const std::vector<std::string>& names);
  std::vector<std::string> names() const;

 private:
  struct Channel {
    ScriptMessageChannels* owner;
    std::string name;
    gulong handlerId = 0;
  };
  static void received(WebKitUserContentManager* manager, JSCValue* value, gpointer channel);
  void open(const std::string& name);
  void close(const std::string& name);

  GObjectRef<WebKitUserContentManager> manager_;
  Receiver receiver_;
  std::map<std::string, std::unique_ptr<Channel>> channels_;
};

}  // namespace velquor::gtk
