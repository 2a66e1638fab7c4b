// The Qt WebEngine web view behind a WKWebView: loading, the user agent, windows and navigation
// events as the toolkit reports them to the web view's delegates.

#include "QtTestSupport.h"

#include <LoopbackServer.h>
#include <WebViewRecorder.h>

#include <velquor/platform/WKWebView.h>

#include <QWebEngineProfile>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace velquor::platform;
using namespace qt_test;
using velquor_testing::LoopbackServer;
using velquor_testing::Recorder;

namespace {

class QtWebView : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    auto options = testOptions();
    options.loadFailed = [this](const std::string& url, const NSError& error) { failures.emplace_back(url, error); };
    makeToolkit(options);
    recorder = std::make_shared<Recorder>();
  }
  void TearDown() override {
    webView.reset();
    QtWindowTest::TearDown();
  }

  // A web view shown in the window, with `configure` applied to its configuration first.
  QWebEnginePage* makeWebView(const std::function<void(WKWebViewConfiguration&)>& configure = {}) {
    auto configuration = std::make_shared<WKWebViewConfiguration>();
    if (configure) configure(*configuration);
    webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
    webView->setNavigationDelegate(recorder);
    webView->setUIDelegate(recorder);
    QWebEngineView* engine = velquor::qt::QtToolkit::webEngineView(*webView);
    engine->setParent(window);
    engine->setGeometry(window->rect());
    engine->show();
    return engine->page();
  }
  // A page that submits a form to `action` as soon as it loads, as the checkout's page does.
  static std::string formPostingTo(const std::string& action, const std::string& inputs) {
    return "<form id=f method=POST action=\"" + action + "\">" + inputs +
           "</form><script>document.getElementById('f').submit()</script>";
  }

  std::shared_ptr<Recorder> recorder;
  std::shared_ptr<WKWebView> webView;
  std::vector<std::pair<std::string, NSError>> failures;
};

TEST_F(QtWebView, ALoadedTextHasAnOpaqueOriginAndIsReportedWithTheNavigationOfItsLoad) {
  QWebEnginePage* page = makeWebView();
  auto navigation = webView->loadHTMLString("<p id='x'>hello</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish"}));
  for (const auto& reported : recorder->navigations) EXPECT_EQ(reported, navigation);
  EXPECT_TRUE(recorder->responses.empty()) << "a loaded text has no response";
  EXPECT_EQ(evaluateJSON(page, "document.getElementById('x').textContent"), "\"hello\"");
  EXPECT_EQ(evaluateJSON(page, "location.host"), "\"\"") << "no host: an opaque origin, as about:blank's";
  EXPECT_EQ(evaluateJSON(page, "typeof window.qt"), "\"undefined\"") << "no transport in the page's world";
  EXPECT_FALSE(webView->isLoading());
}

TEST_F(QtWebView, ANavigationThePageStartsGetsANewNavigationObject) {
  LoopbackServer server;
  server.routes().Get("/next", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>next</p>", "text/html");
  });
  server.start();
  makeWebView();
  auto first = webView->loadHTMLString("<script>onload = () => location.href = '" + server.url("/next") + "';</script>",
                                       std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 2; }));
  ASSERT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish", "start", "commit", "finish"}));
  EXPECT_EQ(recorder->navigations[0], first);
  EXPECT_NE(recorder->navigations[3], first);
  EXPECT_EQ(recorder->navigations[3], recorder->navigations[5]);
  EXPECT_EQ(recorder->responses, (std::vector<std::pair<long, bool>>{{200, true}}));
}

TEST_F(QtWebView, TheFormReachesTheGatewayWithItsValuesExactTheWholeUserAgentAndNoOrigin) {
  LoopbackServer server;
  server.routes().Post("/pay", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>paid</p>", "text/html");
  });
  server.start();
  makeWebView();
  webView->setCustomUserAgent("Velquor-iOS-SDK");
  webView->loadHTMLString(formPostingTo(server.url("/pay"), "<input type=hidden name=q value=\"a&quot;b\">"
                                                           "<input type=hidden name=amp value=\"x&amp;y=z+1%20\">"
                                                           "<input type=hidden name=u value=\"\xC3\xBC\xE2\x82\xAC\">"),
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return server.requestCount("/pay") == 1; }));
  const auto request = server.requests().front();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.userAgent, "Velquor-iOS-SDK");
  EXPECT_EQ(request.body, "q=a%22b&amp=x%26y%3Dz%2B1%2520&u=%C3%BC%E2%82%AC");
  EXPECT_EQ(request.origin, "null");
  EXPECT_FALSE(request.hasReferer);
  spinFor(300ms);
  for (const auto& each : server.requests()) EXPECT_EQ(each.path, "/pay") << "no favicon or other request";
}

TEST_F(QtWebView, APageOfMoreThanTwoMebibytesLoadsWhole) {
  LoopbackServer server;
  server.routes().Post("/pay", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>paid</p>", "text/html");
  });
  server.start();
  makeWebView();
  const std::string filler(3 << 20, 'f');
  webView->loadHTMLString(formPostingTo(server.url("/pay"), "<input type=hidden name=big value=\"" + filler +
                                                                "\"><input type=hidden name=last value=END>"),
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return server.requestCount("/pay") == 1; }));
  const auto body = server.requests().front().body;
  EXPECT_EQ(body.size(), std::string("big=&last=END").size() + filler.size());
  EXPECT_TRUE(body.ends_with("&last=END"));
}

TEST_F(QtWebView, AnHTTPErrorStatusIsTheMainFramesResponseAndTheServersPageIsShown) {
  LoopbackServer server;
  server.routes().Post("/pay", [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
    response.set_content("<p id=p>gateway error</p>", "text/html");
  });
  server.start();
  QWebEnginePage* page = makeWebView();
  webView->loadHTMLString(formPostingTo(server.url("/pay"), "<input name=a value=1>"), std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return !recorder->responses.empty() && recorder->count("finish") >= 1 && !webView->isLoading(); }));
  spinFor(300ms);
  EXPECT_EQ(recorder->responses, (std::vector<std::pair<long, bool>>{{500, true}}));
  EXPECT_EQ(recorder->count("failProvisional") + recorder->count("fail"), 0u);
  EXPECT_EQ(evaluateJSON(page, "document.getElementById('p').textContent"), "\"gateway error\"") << "still shown";
}

TEST_F(QtWebView, AFailedLoadIsReportedWithTheEnginesErrorAndTheLastDocumentStays) {
  QWebEnginePage* page = makeWebView();
  const std::string target = "http://127.0.0.1:" + std::to_string(velquor_testing::unusedLoopbackPort()) + "/nothing";
  webView->loadHTMLString("<p id='x'>form</p><script>onload = () => location.href = '" + target + "';</script>",
                          std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("failProvisional") == 1; }));
  spinFor(500ms);
  ASSERT_EQ(recorder->events, (std::vector<std::string>{"start", "commit", "finish", "start", "failProvisional"}));
  EXPECT_EQ(recorder->navigations[3], recorder->navigations[4]);
  EXPECT_NE(recorder->navigations[0], recorder->navigations[3]);
  ASSERT_EQ(recorder->errors.size(), 1u);
  EXPECT_EQ(recorder->errors[0].domain(), "QtWebEngineConnectionErrorDomain");
  EXPECT_EQ(recorder->errors[0].code(), -102) << "net::ERR_CONNECTION_REFUSED";
  EXPECT_EQ(std::get<std::string>(recorder->errors[0].userInfo().at(NSURLErrorFailingURLStringErrorKey)), target);
  ASSERT_EQ(failures.size(), 1u) << "the toolkit's option hears of it too";
  EXPECT_EQ(failures[0].first, target);
  EXPECT_EQ(evaluateJSON(page, "document.getElementById('x').textContent"), "\"form\"") << "no error page";
}

TEST_F(QtWebView, ALocalFileIsRefusedAndReportedAsTheToolkitsRefusal) {
  makeWebView();
  webView->loadHTMLString(formPostingTo("file:///etc/hostname", ""), std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return !recorder->errors.empty(); }));
  spinFor(300ms);
  ASSERT_EQ(recorder->errors.size(), 1u);
  EXPECT_EQ(recorder->errors[0].domain(), "QtWebEnginePolicyError");
  EXPECT_EQ(recorder->errors[0].code(), 101);
  EXPECT_EQ(std::get<std::string>(recorder->errors[0].userInfo().at(NSURLErrorFailingURLStringErrorKey)),
            "file:///etc/hostname");
}

TEST_F(QtWebView, AnUntrustedCertificateIsRefusedNeverOverridden) {
  // A self-signed certificate, which no authority vouches for.
  const auto folder = std::filesystem::temp_directory_path() / ("velquor-qt-tls-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto key = (folder / "key.pem").string();
  const auto certificate = (folder / "certificate.pem").string();
  const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 2 -keyout '" + key +
                           "' -out '" + certificate + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0);
  httplib::SSLServer server(certificate.c_str(), key.c_str());
  std::atomic<int> requests{0};
  server.Get("/pay", [&](const httplib::Request&, httplib::Response& response) {
    ++requests;
    response.set_content("<p>paid</p>", "text/html");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });

  makeWebView();
  const std::string target = "https://127.0.0.1:" + std::to_string(port) + "/pay";
  webView->loadHTMLString("<script>location.href = '" + target + "'</script>", std::nullopt);
  const bool failed = spinUntil([&] { return !recorder->errors.empty(); });
  spinFor(300ms);
  server.stop();
  thread.join();
  std::filesystem::remove_all(folder);

  ASSERT_TRUE(failed);
  ASSERT_EQ(recorder->errors.size(), 1u);
  EXPECT_EQ(recorder->errors[0].domain(), "QtWebEngineCertificateErrorDomain");
  EXPECT_EQ(recorder->errors[0].code(), -202) << "net::ERR_CERT_AUTHORITY_INVALID";
  EXPECT_EQ(requests.load(), 0) << "nothing was sent over the untrusted connection";
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].first, target);
}

TEST_F(QtWebView, TheEndOfTheRendererIsReportedOnceAndTheNextLoadWorks) {
  QWebEnginePage* page = makeWebView();
  webView->loadHTMLString("<p id=x>one</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1 && page->renderProcessPid() > 0; }));
  ::kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("terminated") == 1; }));
  spinFor(300ms);
  EXPECT_EQ(recorder->count("terminated"), 1u);
  EXPECT_EQ(recorder->count("fail") + recorder->count("failProvisional"), 0u) << "no load was under way";

  webView->loadHTMLString("<p id=x>two</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 2; }));
  EXPECT_EQ(evaluateJSON(page, "document.getElementById('x').textContent"), "\"two\"");
}

TEST_F(QtWebView, OpeningWindowsFollowsThePreferencesAndTheUIDelegateOpensNoneByDefault) {
  QWebEnginePage* page = makeWebView();
  ASSERT_TRUE(spinUntil([&] {
    webView->loadHTMLString("<p>x</p>", std::nullopt);
    return spinUntil([&] { return recorder->count("finish") >= 1; }, 5s);
  }));
  EXPECT_EQ(evaluateJSON(page, "window.open('http://127.0.0.1:9/opened') === null"), "true")
      << "the preference is off by default";
  EXPECT_TRUE(recorder->windowRequests.empty());
  webView->configuration()->preferences()->setJavaScriptCanOpenWindowsAutomatically(true);
  runScript(page, "window.open('http://127.0.0.1:9/opened')");
  ASSERT_TRUE(spinUntil([&] { return !recorder->windowRequests.empty(); }));
  EXPECT_EQ(recorder->windowRequests[0], "http://127.0.0.1:9/opened");
}

TEST_F(QtWebView, TheLastWebViewGoneLeavesNoEngineViewOrPageAlive) {
  const auto views = velquor::qt::QtToolkit::liveWebViewCount();
  const auto pages = velquor::qt::QtToolkit::livePageCount();
  makeWebView();
  EXPECT_EQ(velquor::qt::QtToolkit::liveWebViewCount(), views + 1);
  EXPECT_EQ(velquor::qt::QtToolkit::livePageCount(), pages + 1);
  webView->loadHTMLString("<p>x</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return recorder->count("finish") == 1; }));
  webView.reset();
  spinFor(50ms);
  EXPECT_EQ(velquor::qt::QtToolkit::liveWebViewCount(), views);
  EXPECT_EQ(velquor::qt::QtToolkit::livePageCount(), pages);
}

}  // namespace
