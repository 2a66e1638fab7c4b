#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <string>
#include <utility>

namespace velquor::platform {

// A script world of a web view's pages. Page script runs in the page world. A client world is the
// app's own: the page's scripts can neither see nor replace what lives there.
//
// A script-message handler registered in a client world still hears page script posting under
// its name (window.webkit.messageHandlers.NAME.postMessage, in every frame), but each message
// reaches it through that world, carrying the frame it came from (WKFrameInfo) as the engine knows
// it, which the page cannot forge. A handler in the page world gets no frame information.
class VELQUOR_PLATFORM_EXPORT WKContentWorld {
 public:
  static WKContentWorld pageWorld();
  static WKContentWorld defaultClientWorld();

  bool isPageWorld() const { return name_.empty(); }
  // The world's name for a toolkit's engine; empty for the page world.
  const std::string& name() const { return name_; }

  friend bool operator==(const WKContentWorld&, const WKContentWorld&) = default;

 private:
  explicit WKContentWorld(std::string name) : name_(std::move(name)) {}
  std::string name_;
};

}  // namespace velquor::platform
