#include "HeadlessWebView.h"

#include "HeadlessToolkitState.h"

#include <velquor/platform/ScriptMessageBody.h>

#include <algorithm>

namespace velquor::headless {

using platform::NSError;
using platform::WKNavigation;

namespace {
constexpr const char* kDefaultUserAgent = "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/605.1.15 (KHTML, like Gecko)";
}

HeadlessWebView::HeadlessWebView(platform::WKWebView& webView, std::weak_ptr<HeadlessToolkitState> toolkit)
    : webView_(webView), toolkit_(std::move(toolkit)) {
  if (auto state = toolkit_.lock()) state->webViews.push_back(this);
}

HeadlessWebView::~HeadlessWebView() {
  if (auto state = toolkit_.lock()) std::erase(state->webViews, this);
}

std::shared_ptr<platform::WKWebView> HeadlessWebView::webView() const { return platform::shared_from(&webView_); }

std::string HeadlessWebView::userAgent() const { return webView_.customUserAgent().value_or(kDefaultUserAgent); }

void HeadlessWebView::loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                                     const std::shared_ptr<WKNavigation>& navigation,
                                     platform::WKDocumentScriptMessages messages) {
  // Recorded only: a test may still post messages from any page, as it may on any engine.
  loads_.push_back({html, baseURL, navigation, messages});
  pending_ = navigation;
}

void HeadlessWebView::stopLoading() {
  pending_.reset();
  current_.reset();
  committed_ = false;
}

std::shared_ptr<WKNavigation> HeadlessWebView::startProvisionalNavigation() {
  auto navigation = pending_ ? pending_ : std::make_shared<WKNavigation>();
  pending_.reset();
  current_ = navigation;
  committed_ = false;
  webView_.notifyDidStartProvisionalNavigation(navigation);
  return navigation;
}

bool HeadlessWebView::commitNavigation() {
  if (!current_ || committed_) return false;
  committed_ = true;
  webView_.notifyDidCommitNavigation(current_);
  return true;
}

bool HeadlessWebView::finishNavigation() {
  if (!current_) return false;
  if (!committed_) commitNavigation();
  auto navigation = std::move(current_);
  current_.reset();
  committed_ = false;
  webView_.notifyDidFinishNavigation(navigation);
  return true;
}

bool HeadlessWebView::failProvisionalNavigation(const NSError& error) {
  if (!current_ || committed_) return false;
  auto navigation = std::move(current_);
  current_.reset();
  webView_.notifyDidFailProvisionalNavigation(navigation, error);
  return true;
}

bool HeadlessWebView::failNavigation(const NSError& error) {
  if (!current_) return false;
  auto navigation = std::move(current_);
  current_.reset();
  committed_ = false;
  webView_.notifyDidFailNavigation(navigation, error);
  return true;
}

void HeadlessWebView::completeNavigation() {
  startProvisionalNavigation();
  finishNavigation();
}

platform::WKNavigationResponsePolicy HeadlessWebView::receiveResponse(long statusCode, bool forMainFrame, std::string url) {
  const auto policy = webView_.decidePolicyForNavigationResponse(platform::WKNavigationResponse(forMainFrame, statusCode, url));
  if (policy == platform::WKNavigationResponsePolicy::Cancel && current_) {
    // What WebKitGTK reports for a response the delegate would not have shown.
    failProvisionalNavigation(NSError("WebKitPolicyError", 102, {{platform::NSLocalizedDescriptionKey, std::string("Frame load interrupted")}}));
  }
  return policy;
}

void HeadlessWebView::terminateWebContentProcess() {
  pending_.reset();
  current_.reset();
  committed_ = false;
  webView_.notifyWebContentProcessDidTerminate();
}

bool HeadlessWebView::postScriptMessage(const std::string& name, std::optional<nlohmann::json> body) {
  return postScriptMessage(name, std::move(body), platform::WKFrameInfo{true, platform::WKSecurityOrigin()});
}

bool HeadlessWebView::hasScriptMessageHandler(const std::string& name) const {
  // Without one, page script finds no window.webkit.messageHandlers.NAME: nothing leaves the page.
  return webView_.configuration()->userContentController()->scriptMessageHandlerForName(name) != nullptr;
}

bool HeadlessWebView::postScriptMessage(const std::string& name, std::optional<nlohmann::json> body,
                                        platform::WKFrameInfo frame) {
  if (!hasScriptMessageHandler(name)) return false;
  if (body && platform::jsonNestingDepth(*body, kEngineSerializationDepthLimit) > kEngineSerializationDepthLimit) {
    return false;
  }
  auto accepted = platform::scriptMessageBodyFromJSON(body);
  if (!accepted.deliverable) return false;
  return webView_.receiveScriptMessage(name, std::move(accepted.value), std::move(frame));
}

bool HeadlessWebView::postCyclicScriptMessage(const std::string& name) {
  if (hasScriptMessageHandler(name)) platform::scriptMessageBodyWithoutJSONForm("JSON.stringify cannot serialize cyclic structures.");
  return false;
}

}  // namespace velquor::headless
