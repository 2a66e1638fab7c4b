// window.webkit.messageHandlers on Qt WebEngine: in every frame, no message lost, and the frame
// and origin of each as the engine knows them, whatever the page does.

#include "QtTestSupport.h"

#include <LoopbackServer.h>
#include <WebViewRecorder.h>

#include <velquor/platform/WKWebView.h>

#include <nlohmann/json.hpp>

using namespace velquor::platform;
using namespace qt_test;
using nlohmann::json;
using velquor_testing::LoopbackServer;
using velquor_testing::Recorder;

namespace {

class QtScriptBridge : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
    recorder = std::make_shared<Recorder>();
  }
  void TearDown() override {
    webView.reset();
    QtWindowTest::TearDown();
  }
  QWebEnginePage* makeWebView(const WKContentWorld& world, const std::vector<std::string>& names = {"paymentResponseIos"}) {
    auto configuration = std::make_shared<WKWebViewConfiguration>();
    for (const auto& name : names) configuration->userContentController()->addScriptMessageHandler(recorder, world, name);
    webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
    webView->setNavigationDelegate(recorder);
    QWebEngineView* engine = velquor::qt::QtToolkit::webEngineView(*webView);
    engine->setParent(window);
    engine->show();
    return engine->page();
  }
  std::vector<json> bodies() const {
    std::vector<json> all;
    for (const auto& [name, body] : recorder->messages) all.push_back(body.value_or(json("<nil>")));
    return all;
  }

  std::shared_ptr<Recorder> recorder;
  std::shared_ptr<WKWebView> webView;
};

TEST_F(QtScriptBridge, MessagesPostedWhileTheDocumentIsParsedArriveInOrder) {
  makeWebView(WKContentWorld::pageWorld(), {"first", "second"});
  webView->loadHTMLString("<script>for (let i = 0; i < 20; i++) window.webkit.messageHandlers[i % 2 ? 'second' : 'first']"
                          ".postMessage({i});</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 20; }));
  spinFor(200ms);
  ASSERT_EQ(recorder->messages.size(), 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(recorder->messages[i].first, i % 2 ? "second" : "first");
    EXPECT_EQ(recorder->messages[i].second, json({{"i", i}}));
  }
  EXPECT_FALSE(recorder->frames[0].has_value()) << "no frame information for a page-world handler";
}

TEST_F(QtScriptBridge, ThePagesOwnGlobalsDoNotChangeWhatItsMessagesCarry) {
  makeWebView(WKContentWorld::defaultClientWorld());
  webView->loadHTMLString("<script>"
                          "JSON.stringify = () => '\"tampered\"';"
                          "window.structuredClone = (v) => v;"
                          "EventTarget.prototype.dispatchEvent = function () { return true; };"
                          "Array.prototype.push = function () { return 0; };"
                          "window.webkit.messageHandlers.paymentResponseIos.postMessage({status: 'success', list: [1, 2]});"
                          "</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 1; }));
  spinFor(200ms);
  EXPECT_EQ(bodies(), (std::vector<json>{json({{"status", "success"}, {"list", {1, 2}}})}));
}

TEST_F(QtScriptBridge, AMessagePostedJustBeforeThePageNavigatesAwayArrives) {
  LoopbackServer server;
  server.routes().Get("/next", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>next</p>", "text/html");
  });
  server.start();
  makeWebView(WKContentWorld::defaultClientWorld());
  webView->loadHTMLString("<script>onload = () => { window.webkit.messageHandlers.paymentResponseIos.postMessage("
                          "{status: 'success'}); location.href = '" + server.url("/next") + "'; };</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return server.requestCount("/next") == 1 && recorder->count("finish") == 2; }));
  spinFor(200ms);
  EXPECT_EQ(bodies(), (std::vector<json>{json({{"status", "success"}})}));
}

// The checkout's own form posts nothing: it goes without the bridge, and the page it posts to has it.
TEST_F(QtScriptBridge, ADocumentThatPostsNoMessagesGoesWithoutTheBridgeAndThePageAfterItHasIt) {
  LoopbackServer server;
  server.routes().Post("/pay", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<script>window.webkit.messageHandlers.paymentResponseIos.postMessage({status: 'success'})"
                         "</script>", "text/html");
  });
  server.start();
  QWebEnginePage* page = makeWebView(WKContentWorld::pageWorld());
  webView->loadHTMLString("<form id=f method=POST action=\"" + server.url("/pay") + "\"></form>"
                          "<script>window.seen = typeof window.webkit</script>",
                          std::nullopt, WKDocumentScriptMessages::none);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(evaluateJSON(page, "window.seen"), "\"undefined\"");
  runScript(page, "document.getElementById('f').submit()");
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 1; }));
  EXPECT_EQ(bodies(), (std::vector<json>{json({{"status", "success"}})}));

  webView->loadHTMLString("<script>window.webkit.messageHandlers.paymentResponseIos.postMessage('may post')</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 2; })) << "the default still has the bridge";
}

TEST_F(QtScriptBridge, OnlyRegisteredNamesExistAndAFunctionBodyIsDroppedSilently) {
  QWebEnginePage* page = makeWebView(WKContentWorld::defaultClientWorld());
  webView->loadHTMLString("<p>x</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(evaluateJSON(page, "Object.keys(window.webkit.messageHandlers)"), "[\"paymentResponseIos\"]");
  EXPECT_EQ(evaluateJSON(page, "Object.isFrozen(window.webkit.messageHandlers.paymentResponseIos)"), "true");
  runScript(page, "window.webkit.messageHandlers.paymentResponseIos.postMessage(() => 1);"
                  "window.webkit.messageHandlers.paymentResponseIos.postMessage('after');");
  ASSERT_TRUE(spinUntil([&] { return !recorder->messages.empty(); }));
  spinFor(100ms);
  EXPECT_EQ(bodies(), (std::vector<json>{json("after")}));
}

// A page at one origin that frames a page of another; both post, and both try to forge.
TEST_F(QtScriptBridge, AClientWorldHandlerIsToldWhichFrameAndOriginPostedWhateverThePageDoes) {
  LoopbackServer gateway;
  LoopbackServer other;
  other.routes().Get("/frame", [](const httplib::Request&, httplib::Response& response) {
    // A frame that pretends: fakes the bridge's own event and its relay to the top frame.
    response.set_content(R"(<script>
      window.webkit.messageHandlers.paymentResponseIos.postMessage({status: "success", from: "frame"});
      document.dispatchEvent(new CustomEvent("velquor-bridge:paymentResponseIos", {detail: {body: {from: "forged"}}}));
    </script>)", "text/html");
  });
  other.start();
  gateway.routes().Get("/page", [&other](const httplib::Request&, httplib::Response& response) {
    response.set_content(R"(<script>
      window.webkit.messageHandlers.paymentResponseIos.postMessage({from: 'top'});
      window.postMessage({velquorBridgeRelay: {name: "paymentResponseIos", body: {from: "self-relay"}}}, "*");
      window.dispatchEvent(new MessageEvent("message", {data: {velquorBridgeRelay: {name: "paymentResponseIos",
                           body: {from: "synthetic"}}}, origin: "https://bank.example", source: window.frames[0]}));
    </script><iframe src=')" + other.url("/frame") + "'></iframe>", "text/html");
  });
  gateway.start();
  makeWebView(WKContentWorld::defaultClientWorld());
  webView->loadHTMLString("<script>location.href = '" + gateway.url("/page") + "'</script>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 3; }));
  spinFor(500ms);
  ASSERT_EQ(recorder->messages.size(), 3u) << "the page's own relays are not messages";
  const auto gatewayOrigin = *WKSecurityOrigin::fromString(gateway.url(""));
  const auto otherOrigin = *WKSecurityOrigin::fromString(other.url(""));
  EXPECT_EQ(recorder->messages[0].second, json({{"from", "top"}}));
  ASSERT_TRUE(recorder->frames[0]);
  EXPECT_TRUE(recorder->frames[0]->isMainFrame);
  EXPECT_TRUE(recorder->frames[0]->securityOrigin == gatewayOrigin);
  for (std::size_t i = 1; i < 3; ++i) {
    ASSERT_TRUE(recorder->frames[i]);
    EXPECT_FALSE(recorder->frames[i]->isMainFrame) << "the frame's messages, forged or not, are the frame's";
    EXPECT_TRUE(recorder->frames[i]->securityOrigin == otherOrigin);
  }
}

TEST_F(QtScriptBridge, ANameRegisteredLaterWorksFromTheNextDocumentAndOneRemovedDeliversNoMore) {
  auto later = std::make_shared<Recorder>();
  makeWebView(WKContentWorld::defaultClientWorld());
  webView->configuration()->userContentController()->addScriptMessageHandler(later, WKContentWorld::defaultClientWorld(),
                                                                             "later");
  webView->loadHTMLString("<script>window.webkit.messageHandlers.later.postMessage(1)</script>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return later->messages.size() == 1; }));
  webView->configuration()->userContentController()->removeScriptMessageHandlerForName("later");
  QWebEnginePage* page = velquor::qt::QtToolkit::webEngineView(*webView)->page();
  runScript(page, "window.webkit.messageHandlers.later.postMessage(2);"
                  "window.webkit.messageHandlers.paymentResponseIos.postMessage(3);");
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 1; }));
  spinFor(100ms);
  EXPECT_EQ(later->messages.size(), 1u);
}

}  // namespace
