// What WebKit reports when things go wrong, as the toolkit hands it to a web view's delegates; the
// whole page reaching the engine; frame information through a client world's bridge.

#include "GtkTestSupport.h"
#include "WebViewRecorder.h"

#include <velquor/platform/WKWebView.h>

#include <signal.h>

using namespace velquor::platform;
using namespace gtk_test;
using nlohmann::json;

namespace {

using velquor_testing::Recorder;

class GtkFailureEvents : public GtkWindowTest {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    toolkit.emplace(testOptions());
    recorder = std::make_shared<Recorder>();
  }
  void TearDown() override {
    webView.reset();
    GtkWindowTest::TearDown();
  }
  WebKitWebView* makeWebView(std::optional<WKContentWorld> world = std::nullopt) {
    auto configuration = std::make_shared<WKWebViewConfiguration>();
    if (world) configuration->userContentController()->addScriptMessageHandler(recorder, *world, "paymentResponseIos");
    webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
    webView->setNavigationDelegate(recorder);
    WebKitWebView* engine = velquor::gtk::GtkToolkit::webKitWebView(*webView);
    gtk_window_set_child(window, GTK_WIDGET(engine));
    return engine;
  }
  // A page that submits a form to `action` as soon as it loads, as the checkout's page does.
  void postFormTo(const std::string& action) {
    webView->loadHTMLString("<form id=f method=POST action=\"" + action +
                                "\"><input name=a value=1></form><script>document.getElementById('f').submit()</script>",
                            std::nullopt);
  }

  std::shared_ptr<Recorder> recorder;
  std::shared_ptr<WKWebView> webView;
};

TEST_F(GtkFailureEvents, ANulInTheTextDoesNotEndTheDocumentTheParserMakesItAReplacementCharacter) {
  WebKitWebView* engine = makeWebView();
  std::string page = "<input id=a value=\"Beng";
  page += '\0';
  page += "aluru\"><input id=b value=\"after\"><p id=c>end</p>";
  webView->loadHTMLString(page, std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('a').value"), "\"Beng\uFFFDaluru\"");
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('b').value"), "\"after\"");
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('c').textContent"), "\"end\"");
}

TEST_F(GtkFailureEvents, TheMainFramesResponseComesWithItsStatusBeforeItIsShown) {
  LoopbackServer server;
  server.routes().Post("/pay", [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
    response.set_content("<p id=p>gateway error</p><iframe src='/frame'></iframe>", "text/html");
  });
  server.routes().Get("/frame", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("<p>missing</p>", "text/html");
  });
  server.start();
  WebKitWebView* engine = makeWebView();
  postFormTo(server.url("/pay"));
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 2 && server.requestCount("/frame") == 1; }));
  spinFor(300ms);
  EXPECT_EQ(recorder->responses, (std::vector<std::pair<long, bool>>{{500, true}, {404, false}}))
      << "the gateway's answer and its frame's (a loaded text has no response)";
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('p').textContent"), "\"gateway error\"") << "still shown";
}

TEST_F(GtkFailureEvents, TheEndOfTheWebProcessIsReportedAndTheNextLoadWorks) {
  WebKitWebView* engine = makeWebView();
  webView->loadHTMLString("<p id=x>one</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  const auto processes = velquor_testing::ownWebProcesses();
  ASSERT_FALSE(processes.empty());
  for (pid_t process : processes) ::kill(process, SIGKILL);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("terminated") == 1; }));
  spinFor(300ms);
  EXPECT_EQ(recorder->count("terminated"), 1u);
  EXPECT_EQ(recorder->count("fail") + recorder->count("failProvisional"), 0u) << "no load was under way";

  webView->loadHTMLString("<p id=x>two</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 2; }));
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('x').textContent"), "\"two\"");
}

// A web view without prewarm() launches its process as it is made; nothing of that may reach the
// web view or its page, and a page loaded before the process is up must neither be lost nor wait.
TEST_F(GtkFailureEvents, TheEarlyLaunchOfTheProcessIsNotSeenByTheWebViewOrItsPage) {
  WebKitWebView* engine = makeWebView();
  EXPECT_FALSE(webView->isLoading());
  auto navigation = webView->loadHTMLString("<p id=x>one</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  spinFor(200ms);
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish"}));
  for (const auto& reported : recorder->navigations) EXPECT_EQ(reported, navigation);
  EXPECT_EQ(recorder->decidedURLs, std::vector<std::string>{"about:blank"}) << "the page's own decision, and no other";
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('x').textContent"), "\"one\"");
  EXPECT_EQ(evaluateJSON(engine, "history.length"), "1");
  EXPECT_EQ(velquor_testing::ownWebProcessCount(), 1u);
}

TEST_F(GtkFailureEvents, APageStoppedBeforeTheProcessIsUpNeverPostsAndTheNextPageLoads) {
  LoopbackServer server;
  server.start();
  WebKitWebView* engine = makeWebView();
  postFormTo(server.url("/pay"));
  webView->stopLoading();
  ASSERT_TRUE(spinUntil([&] { return velquor_testing::ownWebProcessCount() == 1; }));
  spinFor(500ms);
  // (WebKit itself goes on calling a view stopped this early loading; neither library stops a load.)
  EXPECT_EQ(server.requestCount("/pay"), 0u);
  EXPECT_EQ(recorder->count("finish"), 0u);

  webView->loadHTMLString("<p id=x>two</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('x').textContent"), "\"two\"");
}

// WebKit tells its extensions of these only outside an ephemeral session.
TEST_F(GtkFailureEvents, LoadsWebKitRefusesToStartAreReportedAsFailedWithWebKitsReason) {
  toolkit.reset();
  toolkit.emplace(velquor::gtk::GtkToolkitOptions{});
  makeWebView();
  const std::vector<std::pair<std::string, long long>> refused{{"http://127.0.0.1:1/pay", 103}, {"file:///etc/hostname", 101}};
  for (std::size_t i = 0; i < refused.size(); ++i) {
    postFormTo(refused[i].first);
    ASSERT_TRUE(spinUntil([&] { return recorder->errors.size() == i + 1; })) << refused[i].first;
    const auto& error = recorder->errors[i];
    EXPECT_EQ(error.domain(), "WebKitPolicyError");
    EXPECT_EQ(error.code(), refused[i].second);
    EXPECT_EQ(std::get<std::string>(error.userInfo().at(NSURLErrorFailingURLStringErrorKey)), refused[i].first);
  }
  spinFor(300ms);
  EXPECT_EQ(recorder->errors.size(), refused.size()) << "each refusal once";
}

TEST_F(GtkFailureEvents, ANavigationAnotherOneReplacesIsReportedAsCancelledWithTheEnginesErrorUnderIt) {
  LoopbackServer server;
  server.routes().Get("/slow", [](const httplib::Request&, httplib::Response& response) {
    std::this_thread::sleep_for(2s);
    response.set_content("<p>slow</p>", "text/html");
  });
  server.start();
  makeWebView();
  webView->loadHTMLString("<script>location.href = '" + server.url("/slow") + "'</script>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("start") == 2; }));
  webView->loadHTMLString("<p>instead</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return !recorder->errors.empty(); }));
  EXPECT_EQ(recorder->errors[0].domain(), NSURLErrorDomain);
  EXPECT_EQ(recorder->errors[0].code(), NSURLErrorCancelled);
  const auto engineError = std::get<std::shared_ptr<const NSError>>(recorder->errors[0].userInfo().at(NSUnderlyingErrorKey));
  EXPECT_EQ(engineError->domain(), "WebKitNetworkError");
}

// A page at one origin that frames a page of another; both post, then the top one goes elsewhere.
TEST_F(GtkFailureEvents, AClientWorldHandlerIsToldWhichFrameAndOriginPostedWhateverThePageDoes) {
  LoopbackServer gateway;
  LoopbackServer other;
  other.routes().Get("/frame", [](const httplib::Request&, httplib::Response& response) {
    // A frame that pretends: replaces the stand-in, and fakes the bridge's own event.
    response.set_content(R"(<script>
      window.webkit.messageHandlers.paymentResponseIos.postMessage({status: "success", from: "frame"});
      document.dispatchEvent(new CustomEvent("velquor-bridge:paymentResponseIos", {detail: {body: {from: "forged"}}}));
    </script>)", "text/html");
  });
  other.start();
  gateway.routes().Get("/page", [&other](const httplib::Request&, httplib::Response& response) {
    response.set_content("<script>window.webkit.messageHandlers.paymentResponseIos.postMessage({from: 'top'});</script>"
                         "<iframe src='" + other.url("/frame") + "'></iframe>", "text/html");
  });
  gateway.start();
  makeWebView(WKContentWorld::defaultClientWorld());
  webView->loadHTMLString("<script>location.href = '" + gateway.url("/page") + "'</script>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 3; }));
  spinFor(300ms);
  ASSERT_EQ(recorder->messages.size(), 3u);
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

}  // namespace
