// The spinner over the checkout's navigations, and a navigation that fails.

#include "CheckoutEndToEnd.h"

namespace e2e {
namespace {

using Navigation = CheckoutEndToEnd;

// The spinner as the model and the screen show it at each start and end of a load, seen after the
// toolkit has handled that event.
struct SpinnerSample {
  bool started;
  bool animating;
  SpinnerOnScreen screen;
};

TEST_P(Navigation, TheSpinnerRunsDuringEachNavigationAndStopsAfterIt) {
  startGateway(AutoResult::none, [this](const ReceivedRequest& request) { gate.hold(request); });
  launch(gateway->endpoint());
  ASSERT_NE(navigation(), nullptr);
  const auto indicator = spinner();
  ASSERT_NE(indicator, nullptr);
  const auto placement = driver->spinnerPlacement(*indicator, *webView());
  EXPECT_TRUE(placement.overTheEngine);
  EXPECT_TRUE(placement.centred);
  EXPECT_FALSE(indicator->isAnimating()) << "still before the payment starts";
  EXPECT_FALSE(spinnerOnScreen().shown);
  auto samples = std::make_shared<std::vector<SpinnerSample>>();
  driver->observeLoads(*webView(), [this, samples, weak = std::weak_ptr(indicator)](bool started) {
    if (auto held = weak.lock()) samples->push_back({started, held->isAnimating(), driver->spinnerOnScreen(*held)});
  });

  // The gateway holds its answer: the post to it is under way.
  ASSERT_TRUE(spinUntil([&] { return gate.held(); }));
  spinFor(200ms);
  EXPECT_TRUE(indicator->isAnimating());
  EXPECT_TRUE(spinnerOnScreen().shown) << "on screen, above the page";
  EXPECT_TRUE(spinnerOnScreen().spinning);

  gate.open();
  ASSERT_TRUE(spinUntil([&] { return showsPaymentPage(); }));
  spinFor(200ms);
  EXPECT_FALSE(indicator->isAnimating());
  EXPECT_FALSE(spinnerOnScreen().shown);
  EXPECT_FALSE(spinnerOnScreen().spinning);

  // The form page, then the gateway's page: each started with the spinner and ended without it.
  ASSERT_EQ(samples->size(), 4u);
  for (std::size_t i = 0; i < samples->size(); ++i) {
    const auto& sample = (*samples)[i];
    const bool started = i % 2 == 0;
    EXPECT_EQ(sample.started, started) << "event " << i;
    EXPECT_EQ(sample.animating, started) << "event " << i;
    EXPECT_EQ(sample.screen.shown, started) << "event " << i;
    EXPECT_EQ(sample.screen.spinning, started) << "event " << i;
  }
}

TEST_P(Navigation, AFailedLoadLeavesTheSpinnerRunningReportsNothingAndShowsNoErrorPage) {
  const std::string nobodyListens =
      "http://127.0.0.1:" + std::to_string(velquor_testing::unusedLoopbackPort()) + "/v2/paymentrequest";
  launch(nobodyListens);
  ASSERT_TRUE(spinUntil([&] { return !driver->failedLoads.empty(); }));
  ASSERT_TRUE(spinUntil([&] { return !driver->isLoading(*webView()); }));
  spinFor(500ms);

  EXPECT_TRUE(spinner()->isAnimating());
  EXPECT_TRUE(spinnerOnScreen().shown);
  EXPECT_TRUE(spinnerOnScreen().spinning);
  EXPECT_TRUE(checkout->calls.empty());
  EXPECT_TRUE(driver->showsFormPage(*webView())) << "no error page in the failed load's place";
  EXPECT_EQ(evaluate("document.getElementById('payment_form').action"), "\"" + nobodyListens + "\"")
      << "the form page is still the document";
  EXPECT_TRUE(driver->showsCheckout(*navigation()));
}

INSTANTIATE_TEST_SUITE_P(Libraries, Navigation, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
