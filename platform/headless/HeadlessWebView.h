#pragma once

#include <velquor/headless/VelquorHeadlessExport.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WebViewPeer.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <cstddef>
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
    platform::WKDocumentScriptMessages messages = platform::WKDocumentScriptMessages::mayPost;
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
  // The server's response to the navigation under way, before it is shown: the navigation
  // delegate's decision; on Cancel the navigation ends, reported as failed, as an engine does.
  platform::WKNavigationResponsePolicy receiveResponse(long statusCode, bool forMainFrame = true, std::string url = {});
  // The web content process ends (a crash, out of memory): the navigation under way is gone
  // without a word, the delegate hears of the end, and the view shows nothing until the next load.
  void terminateWebContentProcess();

  // Page script posting `body` (nil for undefined) under `name`, from the main frame of a page of
  // opaque origin. True when a handler received it. As the real engine, the body goes through JSON:
  // one nested deeper than 512 is dropped with a warning, and one nested deeper than
  // kEngineSerializationDepthLimit never leaves the page (no warning: the toolkit never sees it).
  bool postScriptMessage(const std::string& name, std::optional<nlohmann::json> body);
  // The same from `frame` (which a handler in a client world is told).
  bool postScriptMessage(const std::string& name, std::optional<nlohmann::json> body, platform::WKFrameInfo frame);
  // Page script posting a value that refers to itself: it has no JSON form, and is dropped with a warning.
  bool postCyclicScriptMessage(const std::string& name);

  // WebKit gives up serialising a posted value nested deeper than about this, and drops the message
  // in the page (a little below it, the web process may crash instead).
  static constexpr std::size_t kEngineSerializationDepthLimit = 40000;

  // platform::WebViewPeer
  void customUserAgentDidChange() override {}
  void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                      const std::shared_ptr<platform::WKNavigation>& navigation,
                      platform::WKDocumentScriptMessages messages) override;
  void stopLoading() override;
  bool isLoading() const override { return current_ != nullptr; }

 private:
  bool hasScriptMessageHandler(const std::string& name) const;

  platform::WKWebView& webView_;
  std::weak_ptr<HeadlessToolkitState> toolkit_;
  std::vector<Load> loads_;
  std::shared_ptr<platform::WKNavigation> pending_;
  std::shared_ptr<platform::WKNavigation> current_;
  bool committed_ = false;
};

}  // namespace velquor::headless
