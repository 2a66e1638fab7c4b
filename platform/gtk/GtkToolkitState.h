#pragma once

#include "ColorStyles.h"
#include "GObjectRef.h"
#include "WebProcessPrewarmer.h"

#include <velquor/gtk/GtkToolkit.h>
#include <velquor/platform/NSLog.h>

#include <webkit/webkit.h>

#include <memory>
#include <unordered_map>
#include <vector>

namespace velquor::gtk {

class WindowHost;

// What the toolkit shares with the hosts, pages and renderers it owns.
struct GtkToolkitState {
  explicit GtkToolkitState(GtkToolkitOptions options) : options(options) {}

  GtkToolkitOptions options;
  // One web process pool and one network session for every web view: the place where a web
  // process can be readied ahead of the first checkout.
  GObjectRef<WebKitWebContext> webContext;
  GObjectRef<WebKitNetworkSession> networkSession;
  // Made by prewarm(); destroyed before the context and session it was made in.
  std::unique_ptr<WebProcessPrewarmer> prewarmer;
  ColorStyles colors;
  // Model object (view or controller) -> the widget showing it now.
  std::unordered_map<const void*, GtkWidget*> widgets;
  std::vector<std::shared_ptr<WindowHost>> hosts;
  // Where the kit's warnings went before this toolkit, and will go after it.
  platform::NSLogHandler previousLogHandler;
};

}  // namespace velquor::gtk
