#pragma once

#include "GObjectRef.h"
#include "ScriptMessageBody.h"

#include <velquor/platform/WKContentWorld.h>

#include <webkit/webkit.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velquor::gtk {

// The script-message handler names of one WebKitUserContentManager, kept equal to a list of
// registrations: page script can post under exactly those (window.webkit.messageHandlers.NAME).
//
// A handler in the page world is WebKit's own handler in the page's world. One in a client world
// is WebKit's handler in an isolated script world of that name, which page script cannot reach,
// with a bridge to it: in every frame, a page-world stand-in for window.webkit.messageHandlers.NAME
// hands each posted value (in a DOM event, which WebKit copies across worlds) to a listener in the
// isolated world; that listener adds what only its own world can be sure of (is this the top-level
// document, and its origin) and posts to WebKit's handler. The page can replace the stand-in, but
// only to post its own messages; it cannot change what the listener says of its frame.
class ScriptMessageChannels {
 public:
  using Receiver = std::function<void(const std::string& name, ScriptMessage message)>;
  struct Registration {
    std::string name;
    platform::WKContentWorld world;
  };

  ScriptMessageChannels(WebKitUserContentManager* manager, Receiver receiver);
  ~ScriptMessageChannels();
  ScriptMessageChannels(const ScriptMessageChannels&) = delete;
  ScriptMessageChannels& operator=(const ScriptMessageChannels&) = delete;

  // Opens the registrations not yet open and closes those no longer listed (or moved to another world).
  void sync(const std::vector<Registration>& registrations);
  std::vector<std::string> names() const;

 private:
  struct Channel {
    ScriptMessageChannels* owner;
    Registration registration;
    gulong handlerId = 0;
    // The bridge's two scripts, for a client world.
    std::vector<std::unique_ptr<WebKitUserScript, decltype(&webkit_user_script_unref)>> bridge;
  };
  static void received(WebKitUserContentManager* manager, JSCValue* value, gpointer channel);
  void open(const Registration& registration);
  void close(const std::string& name);

  GObjectRef<WebKitUserContentManager> manager_;
  Receiver receiver_;
  std::map<std::string, std::unique_ptr<Channel>> channels_;
};

}  // namespace velquor::gtk
