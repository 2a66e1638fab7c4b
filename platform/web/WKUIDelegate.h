#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velquor::platform {

class WKWebView;
class WKWebViewConfiguration;

// Requests of page script for user interface. Every operation has the platform's default handling.
class WKUIDelegate {
 public:
  virtual ~WKUIDelegate() = default;

  // A new window for `url`; the default opens none.
  virtual std::shared_ptr<WKWebView> createWebViewWithConfiguration(const std::shared_ptr<WKWebView>& /*webView*/,
                                                                    const std::shared_ptr<WKWebViewConfiguration>& /*configuration*/,
                                                                    const std::string& /*url*/) {
    return nullptr;
  }
  virtual void webViewDidClose(const std::shared_ptr<WKWebView>& /*webView*/) {}
  // A script alert; the default closes it at once without showing it.
  virtual void runJavaScriptAlertPanelWithMessage(const std::shared_ptr<WKWebView>& /*webView*/,
                                                  const std::string& /*message*/,
                                                  std::function<void()> completionHandler) {
    if (completionHandler) completionHandler();
  }
};

}  // namespace velquor::platform
