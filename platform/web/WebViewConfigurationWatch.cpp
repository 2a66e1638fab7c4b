#include "WebViewConfigurationWatch.h"

#include "WKPreferences.h"
#include "WKUserContentController.h"
#include "WKWebViewConfiguration.h"

namespace velquor::platform {

WebViewConfigurationWatch::WebViewConfigurationWatch(WKWebView& webView, std::function<void()> preferencesChanged,
                                                     std::function<void()> scriptMessageNamesChanged)
    : webView_(webView),
      preferencesChanged_(std::move(preferencesChanged)),
      scriptMessageNamesChanged_(std::move(scriptMessageNamesChanged)) {
  follow();
}

void WebViewConfigurationWatch::stop() {
  configuration_.invalidate();
  preferences_.invalidate();
  contentController_.invalidate();
}

void WebViewConfigurationWatch::follow() {
  auto configuration = webView_.configuration();
  configuration_ = configuration->addObserver([this](NSObject&) { follow(); });
  preferences_ = configuration->preferences()->addObserver([this](NSObject&) { preferencesChanged_(); });
  contentController_ =
      configuration->userContentController()->addObserver([this](NSObject&) { scriptMessageNamesChanged_(); });
  preferencesChanged_();
  scriptMessageNamesChanged_();
}

}  // namespace velquor::platform
