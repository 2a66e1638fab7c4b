#pragma once

#include "PagePrewarmer.h"
#include "WebProfile.h"

#include <velquor/platform/NSLog.h>
#include <velquor/qt/QtToolkit.h>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <unordered_map>
#include <vector>

namespace velquor::qt {

class WindowHost;

// What the toolkit shares with the hosts, pages and renderers it owns.
struct QtToolkitState {
  explicit QtToolkitState(QtToolkitOptions options) : options(std::move(options)) {}

  QtToolkitOptions options;
  // Shared with every web view made: the profile goes after the last of their pages.
  std::shared_ptr<WebProfile> profile;
  // Made by prewarm(); after the hosts, so that it goes before the pages they hold.
  std::unique_ptr<PagePrewarmer> prewarmer;
  // Model object (view or controller) -> the widget showing it now.
  std::unordered_map<const void*, QPointer<QWidget>> widgets;
  std::vector<std::shared_ptr<WindowHost>> hosts;
  // Context of the toolkit's connections to app windows: they end with it.
  QObject connections;
  // Where the kit's warnings went before this toolkit, and will go after it.
  platform::NSLogHandler previousLogHandler;
};

}  // namespace velquor::qt
