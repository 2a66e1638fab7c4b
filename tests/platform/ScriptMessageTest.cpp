#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/WKWebView.h>

#include <gtest/gtest.h>

using namespace velquor::platform;
using velquor::headless::HeadlessToolkit;

namespace {

struct Recorder : WKScriptMessageHandler, WKNavigationDelegate {
  std::vector<std::pair<std::string, std::optional<nlohmann::json>>> messages;
  std::vector<std::string> events;
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage& message) override {
    messages.emplace_back(message.name(), message.body());
  }
  void didStartProvisionalNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&) override {
    events.push_back("start");
  }
  void didFinishNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&) override {
    events.push_back("finish");
  }
};

TEST(ScriptMessages, ReachOnlyTheHandlerRegisteredUnderTheirNameAndStopWhenItIsRemoved) {
  HeadlessToolkit toolkit;
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto recorder = std::make_shared<Recorder>();
  configuration->userContentController()->addScriptMessageHandler(recorder, "channel");
  auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 10, 10), configuration);
  auto* engine = toolkit.webViewPeer(*webView);
  ASSERT_NE(engine, nullptr);

  EXPECT_TRUE(engine->postScriptMessage("channel", nlohmann::json{{"a", 1}}));
  EXPECT_FALSE(engine->postScriptMessage("Channel", nlohmann::json(1)));
  EXPECT_TRUE(engine->postScriptMessage("channel", std::nullopt));
  ASSERT_EQ(recorder->messages.size(), 2u);
  EXPECT_EQ(recorder->messages[0].second, (nlohmann::json{{"a", 1}}));
  EXPECT_FALSE(recorder->messages[1].second.has_value());

  EXPECT_THROW(configuration->userContentController()->addScriptMessageHandler(recorder, "channel"), std::invalid_argument);
  std::weak_ptr<Recorder> weakRecorder = recorder;
  recorder.reset();
  EXPECT_FALSE(weakRecorder.expired()) << "the registration holds its handler";
  configuration->userContentController()->removeScriptMessageHandlerForName("channel");
  EXPECT_TRUE(weakRecorder.expired());
  EXPECT_FALSE(engine->postScriptMessage("channel", nlohmann::json(1)));
}

TEST(Navigation, ALoadStartsOnlyWhenTheEngineSaysSoAndFinishesOnce) {
  HeadlessToolkit toolkit;
  auto recorder = std::make_shared<Recorder>();
  auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 10, 10), nullptr);
  webView->setNavigationDelegate(recorder);
  auto* engine = toolkit.webViewPeer(*webView);
  auto navigation = webView->loadHTMLString("<p>hi</p>", std::nullopt);
  ASSERT_EQ(engine->loads().size(), 1u);
  EXPECT_EQ(engine->loads()[0].html, "<p>hi</p>");
  EXPECT_FALSE(engine->loads()[0].baseURL.has_value());
  EXPECT_TRUE(recorder->events.empty());

  EXPECT_EQ(engine->startProvisionalNavigation(), navigation);
  EXPECT_TRUE(webView->isLoading());
  EXPECT_TRUE(engine->finishNavigation());
  EXPECT_FALSE(engine->finishNavigation());
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_NE(engine->startProvisionalNavigation(), navigation) << "a later navigation is a new one";
}

TEST(WebViews, AreCountedWhileAliveOnly) {
  HeadlessToolkit toolkit;
  {
    auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 10, 10), nullptr);
    EXPECT_EQ(toolkit.webViews().size(), 1u);
  }
  EXPECT_TRUE(toolkit.webViews().empty());
}

}  // namespace
