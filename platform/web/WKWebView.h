#pragma once

#include <velquor/platform/UIView.h>
#include <velquor/platform/WKNavigationDelegate.h>
#include <velquor/platform/WKUIDelegate.h>
#include <velquor/platform/WKWebViewConfiguration.h>
#include <velquor/platform/WebViewPeer.h>

#include <memory>
#include <optional>
#include <string>

namespace velquor::platform {

// A view that shows web content through the installed toolkit's engine. Without a toolkit it keeps
// its settings and loads nothing.
class VELQUOR_PLATFORM_EXPORT WKWebView : public UIView {
 public:
  WKWebView(CGRect frame, std::shared_ptr<WKWebViewConfiguration> configuration);
  ~WKWebView() override;

  static std::shared_ptr<WKWebView> initWithFrame(CGRect frame, std::shared_ptr<WKWebViewConfiguration> configuration);

  std::shared_ptr<WKWebViewConfiguration> configuration() const { return configuration_; }

  std::shared_ptr<WKNavigationDelegate> navigationDelegate() const { return navigationDelegate_.lock(); }
  void setNavigationDelegate(std::weak_ptr<WKNavigationDelegate> delegate);
  std::shared_ptr<WKUIDelegate> UIDelegate() const { return uiDelegate_.lock(); }
  void setUIDelegate(std::weak_ptr<WKUIDelegate> delegate);

  // Replaces the whole user-agent text of every request the web view sends.
  const std::optional<std::string>& customUserAgent() const { return customUserAgent_; }
  void setCustomUserAgent(std::optional<std::string> userAgent);

  // Loads `html` as a document whose base address is `baseURL` (none: about:blank) and starts a
  // navigation, reported through the navigation delegate.
  std::shared_ptr<WKNavigation> loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                                               WKDocumentScriptMessages messages = WKDocumentScriptMessages::mayPost);
  void stopLoading();
  bool isLoading() const;

  WebViewPeer* peer() const { return peer_.get(); }

  // For toolkits: report a navigation's progress to the navigation delegate.
  void notifyDidStartProvisionalNavigation(const std::shared_ptr<WKNavigation>& navigation);
  void notifyDidCommitNavigation(const std::shared_ptr<WKNavigation>& navigation);
  void notifyDidFinishNavigation(const std::shared_ptr<WKNavigation>& navigation);
  void notifyDidFailProvisionalNavigation(const std::shared_ptr<WKNavigation>& navigation, const NSError& error);
  void notifyDidFailNavigation(const std::shared_ptr<WKNavigation>& navigation, const NSError& error);
  WKNavigationActionPolicy decidePolicyForNavigationAction(const std::string& url);
  WKNavigationResponsePolicy decidePolicyForNavigationResponse(const WKNavigationResponse& response);
  void notifyWebContentProcessDidTerminate();
  // For toolkits: a script message posted by a page of this web view; `frameInfo` for a handler in a
  // client world (see WKContentWorld).
  bool receiveScriptMessage(const std::string& name, std::optional<nlohmann::json> body,
                            std::optional<WKFrameInfo> frameInfo = std::nullopt);

 private:
  std::shared_ptr<WKWebViewConfiguration> configuration_;
  std::weak_ptr<WKNavigationDelegate> navigationDelegate_;
  std::weak_ptr<WKUIDelegate> uiDelegate_;
  std::optional<std::string> customUserAgent_;
  std::unique_ptr<WebViewPeer> peer_;
};

}  // namespace velquor::platform
