// Failure reports from a real checkout, for an app that asked for them: each fault gives exactly
// one report, soon, with the same domain, code and status on every engine (only the engine's own
// error underneath is the engine's), and the next checkout in the same process works.

#include "CheckoutEndToEnd.h"
#include "MisbehavingGateways.h"

#include <signal.h>

#include <iostream>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// From the fault to its report, at most.
constexpr auto kReportWithin = 5s;

class FailureReport : public CheckoutEndToEnd {
 protected:
  void SetUp() override {
    CheckoutEndToEnd::SetUp();
    checkout->reportFailures = true;
  }

  // The one failed call, after a quiet second in which no other call may come.
  ::testing::AssertionResult oneFailure(long long code, Clock::time_point fault) {
    if (!spinUntil([&] { return !checkout->calls.empty(); })) return ::testing::AssertionFailure() << "no report";
    const auto reportedAfter = Clock::now() - fault;
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(reportedAfter).count();
    // Kept with the test's result (ctest --output-junit, or the output), for the figures.
    ::testing::Test::RecordProperty("fault_to_report_ms", static_cast<int>(milliseconds));
    std::cout << "fault to report: " << milliseconds << " ms" << std::endl;
    const auto& calls = callsAfter(1s);
    if (calls.size() != 1 || calls[0].kind != DelegateCall::Kind::failed) {
      return ::testing::AssertionFailure() << calls.size() << " delegate calls, not one failure";
    }
    const auto& error = *calls[0].error;
    if (error.domain() != "VelquorCheckoutErrorDomain" || error.code() != code) {
      return ::testing::AssertionFailure() << "reported " << error.domain() << " " << error.code();
    }
    if (reportedAfter > kReportWithin) return ::testing::AssertionFailure() << "reported after " << milliseconds << " ms";
    if (spinner()->isAnimating()) return ::testing::AssertionFailure() << "the spinner still runs";
    return ::testing::AssertionSuccess();
  }

  // As the app would: dismisses the checkout, then pays through a working gateway.
  ::testing::AssertionResult nextCheckoutCompletes() {
    screen->dismissViewControllerAnimated(true, nullptr);
    if (!spinUntil([&] { return screen->presentedViewController() == nullptr; })) {
      return ::testing::AssertionFailure() << "not dismissed";
    }
    checkout->calls.clear();
    startGateway(AutoResult::success);
    launch(gateway->endpoint());
    if (!spinUntil([&] { return !checkout->calls.empty(); })) return ::testing::AssertionFailure() << "no result";
    if (checkout->calls[0].kind != DelegateCall::Kind::completed) return ::testing::AssertionFailure() << "not a result";
    return ::testing::AssertionSuccess();
  }

  // The engine's own error under the one report, as this engine names it.
  void expectEngineError(Fault fault) {
    const auto& userInfo = checkout->calls[0].error->userInfo();
    ASSERT_TRUE(userInfo.contains("NSUnderlyingError"));
    const auto underlying = std::get<std::shared_ptr<const velquor::platform::NSError>>(userInfo.at("NSUnderlyingError"));
    const auto expected = driver->engineErrorFor(fault);
    EXPECT_EQ(underlying->domain(), expected.domain);
    if (expected.code) {
      EXPECT_EQ(underlying->code(), *expected.code);
    }
  }
};

TEST_P(FailureReport, AGatewayAnsweringAnErrorStatusIsCode2) {
  ErrorStatusGateway failing(500);
  launch(failing.endpoint());
  ASSERT_TRUE(spinUntil([&] { return failing.answeredAt().has_value(); }));
  ASSERT_TRUE(oneFailure(2, *failing.answeredAt()));
  EXPECT_EQ(std::get<long long>(checkout->calls[0].error->userInfo().at("statusCode")), 500);
  EXPECT_EQ(evaluate("document.querySelector('h1').textContent"), "\"Gateway error 500\"")
      << "its page is still shown";
  EXPECT_TRUE(nextCheckoutCompletes());
}

TEST_P(FailureReport, AClosedPortIsCode1WithTheEnginesError) {
  const auto launched = Clock::now();
  launch("http://127.0.0.1:" + std::to_string(velquor_testing::unusedLoopbackPort()) + "/v2/paymentrequest");
  ASSERT_TRUE(oneFailure(1, launched));
  expectEngineError(Fault::closedPort);
  EXPECT_TRUE(nextCheckoutCompletes());
}

TEST_P(FailureReport, ASelfSignedCertificateIsRefusedAndCode1) {
  SelfSignedGateway untrusted;
  const auto launched = Clock::now();
  launch(untrusted.endpoint());
  ASSERT_TRUE(oneFailure(1, launched));
  expectEngineError(Fault::untrustedCertificate);
  EXPECT_TRUE(nextCheckoutCompletes());
}

TEST_P(FailureReport, TheWebProcessKilledMidCheckoutIsCode3) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  const auto processes = driver->pageProcesses(*webView());
  ASSERT_FALSE(processes.empty());
  const auto killed = Clock::now();
  for (pid_t process : processes) ::kill(process, SIGKILL);
  ASSERT_TRUE(oneFailure(3, killed));
  EXPECT_TRUE(nextCheckoutCompletes());
}

TEST_P(FailureReport, WithoutTheInterfaceAFailingGatewayReportsNothing) {
  checkout->reportFailures = false;
  ErrorStatusGateway failing(503);
  launch(failing.endpoint());
  ASSERT_TRUE(spinUntil([&] { return failing.answeredAt().has_value(); }));
  EXPECT_TRUE(callsAfter(2s).empty());
}

INSTANTIATE_TEST_SUITE_P(Libraries, FailureReport, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
