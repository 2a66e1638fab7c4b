#pragma once

#include "WKWebView.h"

#include <velquor/platform/NSObject.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <functional>

namespace velquor::platform {

// What an engine-backed web view peer follows of its web view's configuration: it calls
// `preferencesChanged` and `scriptMessageNamesChanged` now, and again whenever the configuration,
// its preferences or its user content controller change (a configuration replaced is followed in
// turn). Holds the web view by reference: a peer lives inside it. Dropping the watch stops it.
class VELQUOR_PLATFORM_EXPORT WebViewConfigurationWatch {
 public:
  WebViewConfigurationWatch(WKWebView& webView, std::function<void()> preferencesChanged,
                            std::function<void()> scriptMessageNamesChanged);
  WebViewConfigurationWatch(const WebViewConfigurationWatch&) = delete;
  WebViewConfigurationWatch& operator=(const WebViewConfigurationWatch&) = delete;

  void stop();

 private:
  void follow();

  WKWebView& webView_;
  std::function<void()> preferencesChanged_;
  std::function<void()> scriptMessageNamesChanged_;
  NSObservation configuration_;
  NSObservation preferences_;
  NSObservation contentController_;
};

}  // namespace velquor::platform
