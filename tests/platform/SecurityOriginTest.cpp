// Origins as an app lists them and as the engine reports them; which script messages a list
// trusts; what a web view's failures amount to.

#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/NSLog.h>
#include <velquor/platform/TrustedOrigins.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WeakScriptMessageHandler.h>
#include <velquor/platform/WebPageFailureWatch.h>

#include <gtest/gtest.h>

using namespace velquor::platform;

namespace {

TEST(SecurityOrigin, ReadsSchemeHostAndPortAsBrowsersCompareThem) {
  const auto https = WKSecurityOrigin::fromString("https://pay.velquor.com");
  ASSERT_TRUE(https);
  EXPECT_EQ(https->toString(), "https://pay.velquor.com");
  EXPECT_EQ(WKSecurityOrigin::fromString("HTTPS://Pay.Velquor.COM:443/"), https) << "case, default port, a bare slash";
  EXPECT_FALSE(WKSecurityOrigin::fromString("https://pay.velquor.com:8443") == https) << "another port";
  EXPECT_FALSE(WKSecurityOrigin::fromString("http://pay.velquor.com") == https) << "another scheme";
  EXPECT_FALSE(WKSecurityOrigin::fromString("https://evil.pay.velquor.com") == https) << "a subdomain";
  EXPECT_EQ(WKSecurityOrigin::fromString("http://127.0.0.1:8080")->toString(), "http://127.0.0.1:8080");
  EXPECT_EQ(WKSecurityOrigin::fromString("http://[::1]:8080")->host(), "[::1]");
}

TEST(SecurityOrigin, RefusesWhatIsNotAnOrigin) {
  for (const char* text : {"", "null", "pay.velquor.com", "https://", "https://pay.velquor.com/v2/paymentrequest",
                           "https://pay.velquor.com?x=1", "https://user@pay.velquor.com", "https://pay.velquor.com:0",
                           "https://pay.velquor.com:65536", "https://pay.velquor.com:", "https://:443", "1https://a",
                           "https://a b", "https://pay.velquor.com#top"}) {
    EXPECT_FALSE(WKSecurityOrigin::fromString(text)) << text;
  }
  EXPECT_THROW(trustedOriginsFromStrings({"https://pay.velquor.com", "pay.velquor.com"}), std::invalid_argument);
  EXPECT_TRUE(trustedOriginsFromStrings({}).empty());
}

TEST(SecurityOrigin, AnOpaqueOriginEqualsNoneNotEvenItself) {
  const WKSecurityOrigin opaque;
  EXPECT_TRUE(opaque.isOpaque());
  EXPECT_EQ(opaque.toString(), "null");
  EXPECT_FALSE(opaque == WKSecurityOrigin());
}

TEST(TrustedOrigins, ANonEmptyListTrustsOnlyTheTopLevelDocumentAtOneOfItsOriginsAndSaysWhyNot) {
  std::vector<std::string> logged;
  auto previous = setNSLogHandler([&](const std::string& message) { logged.push_back(message); });
  const auto trusted = trustedOriginsFromStrings({"https://pay.velquor.com", "http://127.0.0.1:8080"});
  const auto gateway = *WKSecurityOrigin::fromString("https://pay.velquor.com");
  const auto other = *WKSecurityOrigin::fromString("https://evil.example");
  auto message = [](std::optional<WKFrameInfo> frame) {
    return WKScriptMessage("paymentResponseIos", nlohmann::json("success"), {}, frame, WKContentWorld::defaultClientWorld());
  };

  EXPECT_TRUE(isFromTrustedOrigin(message(WKFrameInfo{true, gateway}), trusted));
  EXPECT_TRUE(isFromTrustedOrigin(message(WKFrameInfo{true, *WKSecurityOrigin::fromString("http://127.0.0.1:8080")}), trusted));
  EXPECT_TRUE(logged.empty());
  EXPECT_FALSE(isFromTrustedOrigin(message(WKFrameInfo{false, gateway}), trusted)) << "a frame, even of a trusted origin";
  EXPECT_FALSE(isFromTrustedOrigin(message(WKFrameInfo{true, other}), trusted));
  EXPECT_FALSE(isFromTrustedOrigin(message(WKFrameInfo{true, WKSecurityOrigin()}), trusted));
  EXPECT_FALSE(isFromTrustedOrigin(message(std::nullopt), trusted)) << "no frame information, no trust";
  ASSERT_EQ(logged.size(), 4u);
  EXPECT_NE(logged[0].find("from a frame inside the page"), std::string::npos) << logged[0];
  EXPECT_NE(logged[1].find("https://evil.example, which is not a trusted origin"), std::string::npos) << logged[1];

  logged.clear();
  EXPECT_TRUE(isFromTrustedOrigin(message(std::nullopt), {})) << "no list: every message, as before";
  EXPECT_TRUE(isFromTrustedOrigin(message(WKFrameInfo{false, other}), {}));
  EXPECT_TRUE(logged.empty());
  setNSLogHandler(std::move(previous));
}

struct Counter : WKScriptMessageHandler {
  int received = 0;
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage&) override {
    ++received;
  }
};

TEST(WeakScriptMessageHandler, LetsTheHandlerGoAndDropsWhatArrivesAfter) {
  auto controller = std::make_shared<WKUserContentController>();
  auto handler = std::make_shared<Counter>();
  std::weak_ptr<Counter> weak = handler;
  controller->addScriptMessageHandler(std::make_shared<WeakScriptMessageHandler>(handler), "name");
  EXPECT_TRUE(controller->didReceiveScriptMessage(WKScriptMessage("name", nlohmann::json(1))));
  EXPECT_EQ(handler->received, 1);
  handler.reset();
  EXPECT_TRUE(weak.expired()) << "the registration does not keep it";
  EXPECT_TRUE(controller->didReceiveScriptMessage(WKScriptMessage("name", nlohmann::json(2))));
}

TEST(WebPageFailureWatch, ReportsEachKindOfFailureOncePerPageLoad) {
  WebPageFailureWatch watch;
  watch.navigationStarted();
  const NSError refused("g-io-error-quark", 39, {{NSURLErrorFailingURLStringErrorKey, std::string("http://127.0.0.1:9/")}});
  auto failure = watch.navigationFailed(refused);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, WebPageFailureWatch::Kind::notLoaded);
  EXPECT_EQ(failure->underlyingError->code(), 39);
  EXPECT_EQ(failure->url, "http://127.0.0.1:9/");
  EXPECT_FALSE(watch.contentProcessTerminated()) << "the same load fails once";

  watch.navigationStarted();
  EXPECT_FALSE(watch.navigationFailed(NSError(NSURLErrorDomain, NSURLErrorCancelled))) << "replaced, not failed";
  EXPECT_FALSE(watch.responseReceived(WKNavigationResponse(true, 399, "https://gateway/")));
  EXPECT_FALSE(watch.responseReceived(WKNavigationResponse(false, 500, "https://gateway/frame"))) << "a frame's own";
  failure = watch.responseReceived(WKNavigationResponse(true, 400, "https://gateway/"));
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, WebPageFailureWatch::Kind::httpError);
  EXPECT_EQ(failure->statusCode, 400);
  const auto [code, info] = WebPageFailureWatch::error(*failure, {"not loaded", "status ", "ended"}, "statusCode");
  EXPECT_EQ(code, 2);
  EXPECT_EQ(std::get<long long>(info.at("statusCode")), 400);
  EXPECT_EQ(std::get<std::string>(info.at(NSURLErrorFailingURLStringErrorKey)), "https://gateway/");
  EXPECT_EQ(std::get<std::string>(info.at(NSLocalizedDescriptionKey)), "status 400");

  watch.navigationStarted();
  failure = watch.contentProcessTerminated();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, WebPageFailureWatch::Kind::contentProcessEnded);
}

struct FailureRecorder : WKNavigationDelegate {
  std::vector<std::string> events;
  WKNavigationResponsePolicy answer = WKNavigationResponsePolicy::Allow;
  WKNavigationResponsePolicy decidePolicyForNavigationResponse(const std::shared_ptr<WKWebView>&,
                                                               const WKNavigationResponse& response) override {
    events.push_back("response " + std::to_string(response.statusCode()) + (response.isForMainFrame() ? " main" : " frame"));
    return answer;
  }
  void didFailProvisionalNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&,
                                    const NSError& error) override {
    events.push_back("failProvisional " + error.domain() + " " + std::to_string(error.code()));
  }
  void webViewWebContentProcessDidTerminate(const std::shared_ptr<WKWebView>&) override { events.push_back("terminated"); }
};

TEST(HeadlessWebViewFailures, ATestRaisesResponsesAndTheProcessEndAsTheEngineReportsThem) {
  velquor::headless::HeadlessToolkit toolkit;
  auto recorder = std::make_shared<FailureRecorder>();
  auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 10, 10), nullptr);
  webView->setNavigationDelegate(recorder);
  auto* engine = toolkit.webViewPeer(*webView);
  webView->loadHTMLString("<p>page</p>", std::nullopt);
  engine->startProvisionalNavigation();
  EXPECT_EQ(engine->receiveResponse(500), WKNavigationResponsePolicy::Allow);
  EXPECT_TRUE(webView->isLoading()) << "an allowed response goes on loading";
  recorder->answer = WKNavigationResponsePolicy::Cancel;
  EXPECT_EQ(engine->receiveResponse(200, false), WKNavigationResponsePolicy::Cancel);
  EXPECT_FALSE(webView->isLoading()) << "a cancelled one ends the navigation";
  engine->startProvisionalNavigation();
  engine->terminateWebContentProcess();
  EXPECT_FALSE(webView->isLoading());
  EXPECT_FALSE(engine->finishNavigation()) << "the load went with the process";
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"response 500 main", "response 200 frame",
                                                        "failProvisional WebKitPolicyError 102", "terminated"}));
}

}  // namespace
