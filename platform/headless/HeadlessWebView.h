#pragma once

#include <velquor/headless/VelquorHeadlessExport.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WebViewPeer.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::headless {

struct HeadlessToolkitState;

// The in-memory engine of one web view. It records what the web view is asked to load, and lets a
// test play the engine: start, commit, finish or fail a navigation, and post script messages.
class VELQUOR_HEADLESS_EXPORT HeadlessWebView : public platform::WebViewPeer {
 public:
  struct Load {
    std::string html;
    std::optional<std::string> baseURL;
    std::shared_ptr<platform::WKNavigation> navigation;
  };

  HeadlessWebView(platform::WKWebView& webView, std::weak_ptr<HeadlessToolkitState> toolkit);
  ~HeadlessWebView() override;

  std::shared_ptr<platform::WKWebView> webView() const;
  const std::vector<Load>& loads() const { return loads_; }
  // The text every request of this web view would carry.
  std::string userAgent() const;

  // Starts the navigation of the last load that has not started yet, or a new one (a link, a form
  // post, a redirect). Returns the navigation now under way.
  std::shared_ptr<platform::WKNavigation> startProvisionalNavigation();
  // Each acts on the navigation under way and reports it; false when none is.
  bool commitNavigation();
  bool finishNavigation();
  bool failProvisionalNavigation(const platform::NSError& error);
  bool failNavigation(const platform::NSError& error);
  // start, commit and finish in one go.
  void completeNavigation();

  // Page script posting `body` (nil for undefined) under `name`; false when no handler has that name.
  bool postScriptMessage(const std::string& name, std::optional<nlohmann::json> body);

  // platform::WebViewPeer
  void customUserAgentDidChange() override {}
  void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                      const std::shared_ptr<platform::WKNavigation>& navigation) override;
  void stopLoading() override;
  bool isLoading() const override { return current_ != nullptr; }

 private:
  platform::WKWebView& webView_;
  std::weak_ptr<HeadlessToolkitState> toolkit_;
  std::vector<Load> loads_;
  std::shared_ptr<platform::WKNavigation> pending_;
  std::shared_ptr<platform::WKNavigation> current_;
  bool committed_ = false;
};

}  // namespace velquor::headless
