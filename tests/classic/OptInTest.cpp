// What an app switches on beyond the checkout's own behaviour: failure reports, trusted origins
// and a toolkit that starts the payment under the slide; and what holds without either: a checkout that is never shown is never kept.

#include "ClassicTestSupport.h"

#include <velquor/platform/NSLog.h>

#include <gtest/gtest.h>

namespace {

using namespace velquor::platform;
using classic_test::Checkout;
using classic_test::RecordingDelegate;
using VelquorClassic::VelquorViewController;
using Json = nlohmann::json;

struct FailureRecordingDelegate : RecordingDelegate, VelquorClassic::VelquorFailureDelegate {
  std::vector<NSError> failures;
  std::vector<std::weak_ptr<VelquorViewController>> failedControllers;
  std::function<void(const std::shared_ptr<VelquorViewController>&)> onFailure;
  void didPaymentFail(const std::shared_ptr<VelquorViewController>& controller, const NSError& error) override {
    failures.push_back(error);
    failedControllers.push_back(controller);
    if (onFailure) onFailure(controller);
  }
};

// A checkout whose app asked for failure reports, its payment started and its form page loaded.
struct ReportingCheckout : Checkout {
  std::shared_ptr<FailureRecordingDelegate> reporting = std::make_shared<FailureRecordingDelegate>();
  ReportingCheckout() {
    delegate = reporting;
    launch(std::string("https://gateway.example/pay"));
    toolkit.runUntilIdle();
    engine()->completeNavigation();
    engine()->startProvisionalNavigation();  // the form posts itself
  }
};

TEST(FailureReports, ALoadThatFailsIsCode1WithTheEnginesErrorAndStopsTheSpinner) {
  ReportingCheckout checkout;
  ASSERT_TRUE(checkout.controller()->activityIndicator()->isAnimating());
  checkout.engine()->failProvisionalNavigation(
      NSError("g-io-error-quark", 39, {{NSURLErrorFailingURLStringErrorKey, std::string("https://gateway.example/pay")}}));
  ASSERT_EQ(checkout.reporting->failures.size(), 1u);
  const auto& error = checkout.reporting->failures[0];
  EXPECT_EQ(error.domain(), "VelquorCheckoutErrorDomain");
  EXPECT_EQ(error.code(), VelquorClassic::VelquorCheckoutErrorPageLoadFailed);
  const auto underlying = std::get<std::shared_ptr<const NSError>>(error.userInfo().at(NSUnderlyingErrorKey));
  EXPECT_EQ(underlying->domain(), "g-io-error-quark");
  EXPECT_EQ(underlying->code(), 39);
  EXPECT_EQ(std::get<std::string>(error.userInfo().at(NSURLErrorFailingURLStringErrorKey)), "https://gateway.example/pay");
  EXPECT_EQ(checkout.reporting->failedControllers[0].lock(), checkout.controller());
  EXPECT_FALSE(checkout.controller()->activityIndicator()->isAnimating());
  EXPECT_EQ(checkout.navigation()->presentingViewController(), checkout.screen) << "the checkout stays up";
}

TEST(FailureReports, AnHTTPErrorOfTheMainFrameIsCode2AndItsPageIsStillShown) {
  ReportingCheckout checkout;
  EXPECT_EQ(checkout.engine()->receiveResponse(404, false), WKNavigationResponsePolicy::Allow);
  EXPECT_EQ(checkout.engine()->receiveResponse(302), WKNavigationResponsePolicy::Allow);
  EXPECT_TRUE(checkout.reporting->failures.empty()) << "a frame's error, or a redirect, is no failure";
  EXPECT_EQ(checkout.engine()->receiveResponse(500, true, "https://gateway.example/pay"), WKNavigationResponsePolicy::Allow);
  ASSERT_EQ(checkout.reporting->failures.size(), 1u);
  EXPECT_EQ(checkout.reporting->failures[0].code(), VelquorClassic::VelquorCheckoutErrorHTTPStatus);
  EXPECT_EQ(std::get<long long>(checkout.reporting->failures[0].userInfo().at("statusCode")), 500);
}

TEST(FailureReports, TheEndOfTheWebContentProcessIsCode3) {
  ReportingCheckout checkout;
  checkout.engine()->terminateWebContentProcess();
  ASSERT_EQ(checkout.reporting->failures.size(), 1u);
  EXPECT_EQ(checkout.reporting->failures[0].code(), VelquorClassic::VelquorCheckoutErrorWebContentProcessTerminated);
}

TEST(FailureReports, AreMadeAtMostOncePerPageLoadAndNotForACancelledOne) {
  ReportingCheckout checkout;
  checkout.engine()->failProvisionalNavigation(NSError(NSURLErrorDomain, NSURLErrorCancelled));
  EXPECT_TRUE(checkout.reporting->failures.empty()) << "replaced by another navigation";
  checkout.engine()->startProvisionalNavigation();
  checkout.engine()->receiveResponse(503);
  checkout.engine()->failNavigation(NSError("g-io-error-quark", 44));
  checkout.engine()->terminateWebContentProcess();
  EXPECT_EQ(checkout.reporting->failures.size(), 1u) << "one load, one report";
  checkout.engine()->startProvisionalNavigation();
  checkout.engine()->receiveResponse(502);
  EXPECT_EQ(checkout.reporting->failures.size(), 2u) << "the next load may fail in its turn";
}

TEST(FailureReports, AfterAReportResultsAndCancelWorkAsBefore) {
  ReportingCheckout checkout;
  checkout.engine()->receiveResponse(500);
  checkout.engine()->finishNavigation();
  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", Json{{"status", "failure"}}));
  EXPECT_EQ(checkout.reporting->completed.size(), 1u);
  ASSERT_TRUE(velquor::headless::HeadlessToolkit::tapLeftBarButton(checkout.controller()));
  checkout.toolkit.runUntilIdle();
  ASSERT_TRUE(velquor::headless::HeadlessToolkit::tapAlertButton(
      velquor::headless::HeadlessToolkit::presentedAlert(checkout.screen), "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.reporting->canceled, 1);
}

TEST(FailureReports, AreNeverMadeOnceTheAppHasBegunToDismissTheCheckout) {
  ReportingCheckout checkout;
  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  checkout.engine()->failProvisionalNavigation(NSError("g-io-error-quark", 39));
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(checkout.reporting->failures.empty());
}

TEST(FailureReports, WithoutTheInterfaceFailuresChangeNothing) {
  Checkout checkout;
  checkout.launch(std::string("https://gateway.example/pay"));
  checkout.toolkit.runUntilIdle();
  checkout.engine()->startProvisionalNavigation();
  EXPECT_EQ(checkout.engine()->receiveResponse(500), WKNavigationResponsePolicy::Allow);
  checkout.engine()->failNavigation(NSError("g-io-error-quark", 39));
  checkout.engine()->terminateWebContentProcess();
  EXPECT_TRUE(checkout.controller()->activityIndicator()->isAnimating()) << "the spinner runs on, as it always did";
  EXPECT_TRUE(checkout.delegate->completed.empty());
  EXPECT_EQ(checkout.delegate->canceled, 0);
}

TEST(FailureReports, ARefusedPresentationIsCode4ReportedBeforeTheLauncherReturnsAndNothingIsKept) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  toolkit.closeAppScreen(screen);  // its window is gone
  auto reporting = std::make_shared<FailureRecordingDelegate>();
  VelquorClassic::Velquor::presentVelquorContorller(screen, reporting, classic_test::distinctParams());
  ASSERT_EQ(reporting->failures.size(), 1u);
  EXPECT_EQ(reporting->failures[0].code(), VelquorClassic::VelquorCheckoutErrorPresentationRefused);
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  toolkit.runUntilIdle();
  EXPECT_TRUE(reporting->failedControllers[0].expired()) << "the checkout that was never shown is gone";
  EXPECT_TRUE(toolkit.webViews().empty());
}

TEST(RefusedPresentation, WithoutTheInterfaceReportsNothingAndKeepsNothing) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = std::make_shared<UIViewController>();  // in no window
  auto delegate = std::make_shared<RecordingDelegate>();
  VelquorClassic::Velquor::presentVelquorContorller(screen, delegate, classic_test::distinctParams());
  toolkit.runUntilIdle();
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  EXPECT_TRUE(toolkit.webViews().empty());
}

// A checkout launched with trusted origins, its payment started.
struct TrustingCheckout : Checkout {
  std::vector<std::string> warnings;
  NSLogHandler previous = setNSLogHandler([this](const std::string& message) { warnings.push_back(message); });
  explicit TrustingCheckout(std::vector<std::string> origins) {
    VelquorClassic::Velquor::presentVelquorContorller(screen, std::string("https://pay.velquor.com/v2/paymentrequest"),
                                                      delegate, params,
                                                      VelquorClassic::VelquorCheckoutOptions{std::move(origins)});
    toolkit.runUntilIdle();
  }
  ~TrustingCheckout() { setNSLogHandler(std::move(previous)); }
  bool post(bool mainFrame, const char* origin) {
    return engine()->postScriptMessage("paymentResponseIos", Json{{"status", "success"}},
                                       WKFrameInfo{mainFrame, *WKSecurityOrigin::fromString(origin)});
  }
};

TEST(TrustedOrigins, OnlyTheTopLevelDocumentAtATrustedOriginIsHeard) {
  TrustingCheckout checkout({"https://pay.velquor.com"});
  checkout.post(false, "https://pay.velquor.com");
  checkout.post(true, "https://attacker.example");
  checkout.post(false, "https://attacker.example");
  EXPECT_TRUE(checkout.delegate->completed.empty());
  EXPECT_EQ(checkout.warnings.size(), 3u) << "each dropped message is logged";
  checkout.post(true, "https://pay.velquor.com");
  EXPECT_EQ(checkout.delegate->completed.size(), 1u) << "the real result still arrives";
  auto userContentController = checkout.controller()->velquorWebView()->configuration()->userContentController();
  EXPECT_EQ(userContentController->contentWorldForScriptMessageHandler("paymentResponseIos"),
            WKContentWorld::defaultClientWorld())
      << "where the page cannot reach";
}

TEST(TrustedOrigins, WithoutAListEveryMessageIsDeliveredFromThePageWorldAsBefore) {
  TrustingCheckout checkout({});
  checkout.post(false, "https://attacker.example");
  checkout.post(true, "https://pay.velquor.com");
  EXPECT_EQ(checkout.delegate->completed.size(), 2u);
  EXPECT_TRUE(checkout.warnings.empty());
  auto userContentController = checkout.controller()->velquorWebView()->configuration()->userContentController();
  EXPECT_EQ(userContentController->contentWorldForScriptMessageHandler("paymentResponseIos"), WKContentWorld::pageWorld());
}

TEST(TrustedOrigins, AListEntryThatIsNoOriginIsRefusedBeforeAnythingIsPresented) {
  Checkout checkout;
  EXPECT_THROW(VelquorClassic::Velquor::presentVelquorContorller(checkout.screen, std::nullopt, checkout.delegate, checkout.params,
                                                                 {{"https://pay.velquor.com/v2/paymentrequest"}}),
               std::invalid_argument);
  EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
}

// The app's toolkit runs the presentation's completion as the slide starts.
TEST(LoadUnderTheSlide, ThePaymentStartsAndAnswersWhileTheCheckoutSlidesInAndADismissalThenLetsGoOfIt) {
  Checkout checkout({.presentationCompletesAtStart = true});
  checkout.launch("https://gw.example/v2/paymentrequest");
  std::weak_ptr<UIViewController> navigation = checkout.navigation();
  std::weak_ptr<VelquorViewController> controller = checkout.controller();
  EXPECT_TRUE(checkout.engine()->loads().empty()) << "never inside the launcher call";
  checkout.toolkit.runUntilIdle(1);
  ASSERT_TRUE(checkout.toolkit.isSliding(navigation.lock()));
  ASSERT_EQ(checkout.engine()->loads().size(), 1u);

  checkout.engine()->completeNavigation();
  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", Json{{"status", "success"}}));
  ASSERT_EQ(checkout.delegate->completed.size(), 1u);
  EXPECT_EQ(checkout.delegate->completed[0], (Json{{"status", "success"}}));
  EXPECT_TRUE(checkout.toolkit.isSliding(navigation.lock())) << "the answer came during the slide";

  bool dismissed = false;
  auto by = std::move(checkout.delegate->completedBy);
  by.at(0)->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  by.clear();
  EXPECT_FALSE(checkout.toolkit.isSliding(navigation.lock()));
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(dismissed);
  EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  EXPECT_TRUE(navigation.expired());
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

TEST(LoadUnderTheSlide, CancelDuringTheSlideAsksFirstAndYesTellsTheDelegateOnce) {
  Checkout checkout({.presentationCompletesAtStart = true});
  checkout.launchWithoutEndpoint();
  checkout.toolkit.runUntilIdle(1);
  ASSERT_TRUE(checkout.toolkit.isSliding(checkout.navigation()));
  ASSERT_TRUE(velquor::headless::HeadlessToolkit::tapLeftBarButton(checkout.controller()));
  EXPECT_EQ(checkout.delegate->canceled, 0) << "asked first";
  checkout.toolkit.runUntilIdle();
  auto alert = velquor::headless::HeadlessToolkit::presentedAlert(checkout.screen);
  ASSERT_NE(alert, nullptr);
  ASSERT_TRUE(velquor::headless::HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.delegate->canceled, 1);
  EXPECT_TRUE(checkout.delegate->completed.empty());
}

}  // namespace
