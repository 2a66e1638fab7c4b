#include "GtkTestSupport.h"
#include "WebViewRecorder.h"

#include <velquor/platform/WKWebView.h>

#include <nlohmann/json.hpp>

using namespace velquor::platform;
using namespace gtk_test;
using nlohmann::json;

namespace {

using velquor_testing::Recorder;

class GtkWebView : public GtkWindowTest {
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

  // A web view shown as the window's content, with `configure` applied to its configuration first.
  WebKitWebView* makeWebView(const std::function<void(WKWebViewConfiguration&)>& configure = {}) {
    auto configuration = std::make_shared<WKWebViewConfiguration>();
    if (configure) configure(*configuration);
    webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
    webView->setNavigationDelegate(recorder);
    webView->setUIDelegate(recorder);
    WebKitWebView* engine = velquor::gtk::GtkToolkit::webKitWebView(*webView);
    gtk_window_set_child(window, GTK_WIDGET(engine));
    return engine;
  }

  bool loadAndWait(const std::string& html, const std::optional<std::string>& baseURL = std::nullopt) {
    const auto finished = recorder->count("finish");
    webView->loadHTMLString(html, baseURL);
    return spinUntil([&] { return recorder->count("finish") > finished; });
  }

  std::shared_ptr<Recorder> recorder;
  std::shared_ptr<WKWebView> webView;
};

TEST_F(GtkWebView, ALoadedTextIsAnAboutBlankDocumentReportedWithTheNavigationOfItsLoad) {
  WebKitWebView* engine = makeWebView();
  auto navigation = webView->loadHTMLString("<p id='x'>hello</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish"}));
  for (const auto& reported : recorder->navigations) EXPECT_EQ(reported, navigation);
  EXPECT_STREQ(webkit_web_view_get_uri(engine), "about:blank");
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('x').textContent"), "\"hello\"");
  EXPECT_FALSE(webView->isLoading());

  ASSERT_TRUE(loadAndWait("<p>based</p>", "http://127.0.0.1:9/base/"));
  EXPECT_EQ(evaluateJSON(engine, "document.baseURI"), "\"http://127.0.0.1:9/base/\"");
}

TEST_F(GtkWebView, ANavigationThePageStartsGetsANewNavigationObject) {
  LoopbackServer server;
  server.routes().Get("/next", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>next</p>", "text/html");
  });
  server.start();
  makeWebView();
  auto first = webView->loadHTMLString("<script>onload = () => location.href = '" + server.url("/next") + "';</script>",
                                       std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 2; }));
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish", "start", "commit", "finish"}));
  EXPECT_EQ(recorder->navigations[0], first);
  EXPECT_NE(recorder->navigations[3], first);
  EXPECT_EQ(recorder->navigations[3], recorder->navigations[5]);
}

TEST_F(GtkWebView, AFailedLoadIsReportedAsAFailureNeverAsFinishedAndShowsNoErrorPage) {
  WebKitWebView* engine = makeWebView();
  const std::string target = "http://127.0.0.1:" + std::to_string(unusedLoopbackPort()) + "/nothing";
  webView->loadHTMLString("<p id='x'>form</p><script>onload = () => location.href = '" + target + "';</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("failProvisional") == 1; }));
  spinFor(500ms);
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish", "start", "failProvisional"}));
  EXPECT_EQ(recorder->navigations[3], recorder->navigations[4]);
  ASSERT_EQ(recorder->errors.size(), 1u);
  EXPECT_EQ(recorder->errors[0].domain(), g_quark_to_string(G_IO_ERROR)) << "the engine's own error, whole";
  EXPECT_EQ(recorder->errors[0].code(), G_IO_ERROR_CONNECTION_REFUSED);
  EXPECT_NE(recorder->errors[0].localizedDescription(), "");
  EXPECT_EQ(std::get<std::string>(recorder->errors[0].userInfo().at("NSErrorFailingURLStringKey")), target);
  EXPECT_STREQ(webkit_web_view_get_uri(engine), "about:blank") << "no error page took the failed load's place";
  EXPECT_EQ(evaluateJSON(engine, "document.getElementById('x').textContent"), "\"form\"");
}

TEST_F(GtkWebView, EveryRequestCarriesTheWholeCustomUserAgent) {
  LoopbackServer server;
  server.routes().Get("/page", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content("<img src='" + server.url("/pixel") + "'>", "text/html");
  });
  server.routes().Get("/pixel", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("", "image/png");
  });
  server.start();
  WebKitWebView* engine = makeWebView();
  webView->setCustomUserAgent("Velquor-iOS-SDK");
  webView->loadHTMLString("<script>onload = () => location.href = '" + server.url("/page") + "';</script>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return server.requestCount("/pixel") == 1; }));
  for (const auto& request : server.requests()) EXPECT_EQ(request.userAgent, "Velquor-iOS-SDK") << request.path;
  EXPECT_EQ(evaluateJSON(engine, "navigator.userAgent"), "\"Velquor-iOS-SDK\"");

  webView->setCustomUserAgent(std::nullopt);
  auto own = evaluateJSON(engine, "navigator.userAgent");
  ASSERT_TRUE(own.has_value());
  EXPECT_NE(own->find("AppleWebKit"), std::string::npos) << "no custom text gives WebKit's own back";
}

TEST_F(GtkWebView, ScriptMessagesReachTheHandlerOfTheirNameWithTheirBodiesAsJSON) {
  WebKitWebView* engine = makeWebView([&](WKWebViewConfiguration& configuration) {
    configuration.userContentController()->addScriptMessageHandler(recorder, "paymentResponseIos");
  });
  ASSERT_TRUE(loadAndWait("<p>page</p>"));
  evaluateJSON(engine, R"(
    const post = (value) => window.webkit.messageHandlers.paymentResponseIos.postMessage(value);
    post({status: "success", amount: 10.5, nested: {list: [1, "two", null, true]}, text: "ä \" <&>"});
    post([1, 2]); post("text"); post(7); post(false); post(null); post(undefined); "posted")");
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 7; }));
  spinFor(300ms);
  ASSERT_EQ(recorder->messages.size(), 7u) << "one delivery per post";
  for (const auto& [name, body] : recorder->messages) EXPECT_EQ(name, "paymentResponseIos");
  EXPECT_EQ(recorder->messages[0].second,
            json::parse(R"({"status":"success","amount":10.5,"nested":{"list":[1,"two",null,true]},"text":"ä \" <&>"})"));
  EXPECT_EQ(recorder->messages[1].second, json::parse("[1,2]"));
  EXPECT_EQ(recorder->messages[2].second, json("text"));
  EXPECT_EQ(recorder->messages[3].second, json(7));
  EXPECT_EQ(recorder->messages[4].second, json(false));
  EXPECT_EQ(recorder->messages[5].second, json(nullptr)) << "null is the null value";
  EXPECT_EQ(recorder->messages[6].second, std::nullopt) << "undefined is nil";
}

TEST_F(GtkWebView, ABodyWithoutAJSONFormOrNestedTooDeeplyIsDroppedAndLaterMessagesStillArrive) {
  WebKitWebView* engine = makeWebView([&](WKWebViewConfiguration& configuration) {
    configuration.userContentController()->addScriptMessageHandler(recorder, "channel");
  });
  ASSERT_TRUE(loadAndWait("<p>page</p>"));
  evaluateJSON(engine, R"(
    const post = (value) => window.webkit.messageHandlers.channel.postMessage(value);
    let deep = []; for (let i = 0; i < 600; ++i) deep = [deep];
    post(deep);
    const cycle = {}; cycle.self = cycle; post(cycle);
    post({after: true}); "posted")");
  ASSERT_TRUE(spinUntil([&] { return !recorder->messages.empty(); }));
  spinFor(300ms);
  ASSERT_EQ(recorder->messages.size(), 1u);
  EXPECT_EQ(recorder->messages[0].second, json::parse(R"({"after":true})"));
}

TEST_F(GtkWebView, HandlerNamesAddedOrRemovedLaterAreRegisteredOrUnregisteredInWebKit) {
  WebKitWebView* engine = makeWebView();
  ASSERT_TRUE(loadAndWait("<p>page</p>"));
  const std::string probe = "typeof window.webkit?.messageHandlers?.later";
  EXPECT_EQ(evaluateJSON(engine, probe), "\"undefined\"");

  auto userContentController = webView->configuration()->userContentController();
  userContentController->addScriptMessageHandler(recorder, "later");
  EXPECT_EQ(evaluateJSON(engine, probe), "\"object\"");
  evaluateJSON(engine, "window.webkit.messageHandlers.later.postMessage('hello'); 1");
  ASSERT_TRUE(spinUntil([&] { return recorder->messages.size() == 1; }));
  EXPECT_EQ(recorder->messages[0], (std::pair<std::string, std::optional<json>>{"later", json("hello")}));

  userContentController->removeScriptMessageHandlerForName("later");
  EXPECT_EQ(evaluateJSON(engine, probe), "\"undefined\"");
  spinFor(300ms);
  EXPECT_EQ(recorder->messages.size(), 1u);
}

TEST_F(GtkWebView, OpeningWindowsFollowsThePreferencesAndTheUIDelegateOpensNoneByDefault) {
  LoopbackServer server;
  server.start();
  WebKitWebView* engine = makeWebView([](WKWebViewConfiguration& configuration) {
    configuration.preferences()->setJavaScriptCanOpenWindowsAutomatically(true);
  });
  WebKitSettings* settings = webkit_web_view_get_settings(engine);
  EXPECT_TRUE(webkit_settings_get_javascript_can_open_windows_automatically(settings));
  ASSERT_TRUE(loadAndWait("<p>page</p>", server.url("/")));
  const auto webViewsBefore = velquor::gtk::GtkToolkit::liveWebViewCount();
  EXPECT_EQ(evaluateJSON(engine, "window.open('" + server.url("/popup") + "') === null"), "true");
  spinFor(300ms);
  EXPECT_EQ(recorder->windowRequests, std::vector<std::string>{server.url("/popup")});
  EXPECT_EQ(velquor::gtk::GtkToolkit::liveWebViewCount(), webViewsBefore);
  EXPECT_EQ(server.requestCount("/popup"), 0u);

  webView->configuration()->preferences()->setJavaScriptCanOpenWindowsAutomatically(false);
  EXPECT_FALSE(webkit_settings_get_javascript_can_open_windows_automatically(settings));
}

TEST_F(GtkWebView, TheNavigationDelegateDecidesWhetherANavigationHappens) {
  LoopbackServer server;
  server.start();
  makeWebView();
  webView->loadHTMLString("<script>onload = () => location.href = '" + server.url("/refused") + "';</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] {
    return std::count(recorder->decidedURLs.begin(), recorder->decidedURLs.end(), server.url("/refused")) == 1;
  }));
  spinFor(500ms);
  EXPECT_EQ(server.requestCount("/refused"), 0u);
  EXPECT_EQ(recorder->count("start"), 1u) << "a refused navigation never starts";
}

TEST_F(GtkWebView, PageAlertsGoToTheUIDelegateAndConfirmsAreAnsweredNoWithoutAnyPanel) {
  WebKitWebView* engine = makeWebView();
  ASSERT_TRUE(loadAndWait("<p>page</p>"));
  EXPECT_EQ(evaluateJSON(engine, "alert('hi'); confirm('sure?')"), "false");
  EXPECT_EQ(recorder->alerts, std::vector<std::string>{"hi"});
  EXPECT_TRUE(visibleMessageDialogs().empty());
}

TEST_F(GtkWebView, APageAlertWaitsUntilTheUIDelegateRunsItsCompletion) {
  WebKitWebView* engine = makeWebView();
  ASSERT_TRUE(loadAndWait("<p>page</p>"));
  recorder->holdAlerts = true;
  evaluateJSON(engine, "setTimeout(() => { alert('wait'); document.title = 'after'; }, 0); 1");
  ASSERT_TRUE(spinUntil([&] { return recorder->heldAlertCompletions.size() == 1; }));
  spinFor(300ms);
  EXPECT_NE(g_strcmp0(webkit_web_view_get_title(engine), "after"), 0) << "the page waits for its alert";
  auto completion = recorder->heldAlertCompletions[0];
  completion();
  completion();  // a second run changes nothing
  EXPECT_TRUE(spinUntil([&] { return g_strcmp0(webkit_web_view_get_title(engine), "after") == 0; }));
  EXPECT_TRUE(visibleMessageDialogs().empty());
}

}  // namespace
