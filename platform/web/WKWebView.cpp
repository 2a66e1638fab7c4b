#include "WKWebView.h"

#include <velquor/platform/Toolkit.h>

namespace velquor::platform {

WKWebView::WKWebView(CGRect frame, std::shared_ptr<WKWebViewConfiguration> configuration)
    : UIView(frame),
      configuration_(configuration ? std::move(configuration) : std::make_shared<WKWebViewConfiguration>()) {
  if (auto* toolkit = Toolkit::current()) peer_ = toolkit->makeWebViewPeer(*this);
}

WKWebView::~WKWebView() = default;

std::shared_ptr<WKWebView> WKWebView::initWithFrame(CGRect frame, std::shared_ptr<WKWebViewConfiguration> configuration) {
  return std::make_shared<WKWebView>(frame, std::move(configuration));
}

void WKWebView::setNavigationDelegate(std::weak_ptr<WKNavigationDelegate> delegate) {
  navigationDelegate_ = std::move(delegate);
  didChangeValue();
}

void WKWebView::setUIDelegate(std::weak_ptr<WKUIDelegate> delegate) {
  uiDelegate_ = std::move(delegate);
  didChangeValue();
}

void WKWebView::setCustomUserAgent(std::optional<std::string> userAgent) {
  customUserAgent_ = std::move(userAgent);
  if (peer_) peer_->customUserAgentDidChange();
  didChangeValue();
}

std::shared_ptr<WKNavigation> WKWebView::loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                                                        WKDocumentScriptMessages messages) {
  auto navigation = std::make_shared<WKNavigation>();
  if (peer_) peer_->loadHTMLString(html, baseURL, navigation, messages);
  return navigation;
}

void WKWebView::stopLoading() {
  if (peer_) peer_->stopLoading();
}

bool WKWebView::isLoading() const { return peer_ && peer_->isLoading(); }

void WKWebView::notifyDidStartProvisionalNavigation(const std::shared_ptr<WKNavigation>& navigation) {
  if (auto delegate = navigationDelegate()) delegate->didStartProvisionalNavigation(shared_from(this), navigation);
}

void WKWebView::notifyDidCommitNavigation(const std::shared_ptr<WKNavigation>& navigation) {
  if (auto delegate = navigationDelegate()) delegate->didCommitNavigation(shared_from(this), navigation);
}

void WKWebView::notifyDidFinishNavigation(const std::shared_ptr<WKNavigation>& navigation) {
  if (auto delegate = navigationDelegate()) delegate->didFinishNavigation(shared_from(this), navigation);
}

void WKWebView::notifyDidFailProvisionalNavigation(const std::shared_ptr<WKNavigation>& navigation, const NSError& error) {
  if (auto delegate = navigationDelegate()) delegate->didFailProvisionalNavigation(shared_from(this), navigation, error);
}

void WKWebView::notifyDidFailNavigation(const std::shared_ptr<WKNavigation>& navigation, const NSError& error) {
  if (auto delegate = navigationDelegate()) delegate->didFailNavigation(shared_from(this), navigation, error);
}

WKNavigationActionPolicy WKWebView::decidePolicyForNavigationAction(const std::string& url) {
  if (auto delegate = navigationDelegate()) return delegate->decidePolicyForNavigationAction(shared_from(this), url);
  return WKNavigationActionPolicy::Allow;
}

WKNavigationResponsePolicy WKWebView::decidePolicyForNavigationResponse(const WKNavigationResponse& response) {
  if (auto delegate = navigationDelegate()) return delegate->decidePolicyForNavigationResponse(shared_from(this), response);
  return WKNavigationResponsePolicy::Allow;
}

void WKWebView::notifyWebContentProcessDidTerminate() {
  if (auto delegate = navigationDelegate()) delegate->webViewWebContentProcessDidTerminate(shared_from(this));
}

bool WKWebView::receiveScriptMessage(const std::string& name, std::optional<nlohmann::json> body,
                                     std::optional<WKFrameInfo> frameInfo) {
  auto userContentController = configuration_->userContentController();
  auto world = userContentController->contentWorldForScriptMessageHandler(name);
  if (!world) return false;
  return userContentController->didReceiveScriptMessage(WKScriptMessage(
      name, std::move(body), shared_from(this), world->isPageWorld() ? std::nullopt : std::move(frameInfo), *world));
}

}  // namespace velquor::platform
