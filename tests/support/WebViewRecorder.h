#pragma once

// Plays the app's side of a web view in the tests of the real toolkits: records what the toolkit reports.

#include <velquor/platform/WKWebView.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velquor_testing {

using namespace velquor::platform;

struct Recorder : WKNavigationDelegate, WKUIDelegate, WKScriptMessageHandler {
  std::vector<std::string> events;
  std::vector<std::shared_ptr<WKNavigation>> navigations;
  std::vector<NSError> errors;
  std::vector<std::string> decidedURLs;
  std::string refusedPart = "/refused";
  std::vector<std::string> windowRequests;
  std::vector<std::string> alerts;
  bool holdAlerts = false;
  std::vector<std::function<void()>> heldAlertCompletions;
  std::vector<std::pair<std::string, std::optional<nlohmann::json>>> messages;
  std::vector<std::optional<WKFrameInfo>> frames;
  std::vector<std::pair<long, bool>> responses;  // status, for the main frame

  WKNavigationActionPolicy decidePolicyForNavigationAction(const std::shared_ptr<WKWebView>&, const std::string& url) override {
    decidedURLs.push_back(url);
    return url.find(refusedPart) == std::string::npos ? WKNavigationActionPolicy::Allow : WKNavigationActionPolicy::Cancel;
  }
  void didStartProvisionalNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>& n) override {
    record("start", n);
  }
  void didCommitNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>& n) override {
    record("commit", n);
  }
  void didFinishNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>& n) override {
    record("finish", n);
  }
  void didFailProvisionalNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>& n,
                                    const NSError& error) override {
    record("failProvisional", n);
    errors.push_back(error);
  }
  void didFailNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>& n,
                         const NSError& error) override {
    record("fail", n);
    errors.push_back(error);
  }
  std::shared_ptr<WKWebView> createWebViewWithConfiguration(const std::shared_ptr<WKWebView>&,
                                                            const std::shared_ptr<WKWebViewConfiguration>&,
                                                            const std::string& url) override {
    windowRequests.push_back(url);
    return WKUIDelegate::createWebViewWithConfiguration(nullptr, nullptr, url);
  }
  void runJavaScriptAlertPanelWithMessage(const std::shared_ptr<WKWebView>& webView, const std::string& message,
                                          std::function<void()> completion) override {
    alerts.push_back(message);
    if (holdAlerts) {
      heldAlertCompletions.push_back(std::move(completion));
      return;
    }
    WKUIDelegate::runJavaScriptAlertPanelWithMessage(webView, message, std::move(completion));
  }
  WKNavigationResponsePolicy decidePolicyForNavigationResponse(const std::shared_ptr<WKWebView>&,
                                                               const WKNavigationResponse& response) override {
    responses.emplace_back(response.statusCode(), response.isForMainFrame());
    return WKNavigationResponsePolicy::Allow;
  }
  void webViewWebContentProcessDidTerminate(const std::shared_ptr<WKWebView>&) override { events.emplace_back("terminated"); }
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage& message) override {
    messages.emplace_back(message.name(), message.body());
    frames.push_back(message.frameInfo());
  }

  void record(const char* event, const std::shared_ptr<WKNavigation>& navigation) {
    events.emplace_back(event);
    navigations.push_back(navigation);
  }
  std::size_t count(const std::string& event) const { return std::count(events.begin(), events.end(), event); }
};

}  // namespace velquor_testing
