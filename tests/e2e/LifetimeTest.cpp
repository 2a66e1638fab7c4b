// Many checkouts in one process, each dismissed by the app as it gets its answer.

#include "CheckoutEndToEnd.h"

#include <algorithm>
#include <cstdio>

namespace e2e {
namespace {

using namespace velquor::platform;

class Lifetime : public CheckoutEndToEnd {
 protected:
  // Launches one auto-paid checkout for `orderId` and dismisses it from the first delegate call,
  // as an app does; true once the dismissal has completed.
  bool payAndDismiss(const std::string& orderId) {
    bool dismissing = false;
    bool dismissed = false;
    checkout->onCall = [&](const DelegateCall& call) {
      if (std::exchange(dismissing, true)) return;
      if (auto controller = call.controller.lock()) controller->dismissViewControllerAnimated(true, [&] { dismissed = true; });
    };
    auto fields = plainFields();
    fields[1].value = orderId;
    launch(gateway->endpoint(), fields);
    if (!navigation()) return false;
    liveAtLaunch.push_back(driver->liveEngines());
    navigations.push_back(navigation());
    controllers.push_back(controller());
    webViews.push_back(webView());
    delegates.push_back(checkout->delegate());
    const bool done = spinUntil([&] { return dismissed; });
    checkout->onCall = nullptr;
    return done;
  }

  template <typename Weak>
  static long alive(const std::vector<Weak>& references) {
    return std::count_if(references.begin(), references.end(), [](const auto& weak) { return !weak.expired(); });
  }
  bool nothingAlive(const LiveEngines& before) const {
    return driver->liveEngines() == before && alive(navigations) == 0 && alive(controllers) == 0 && alive(webViews) == 0;
  }

  std::vector<std::weak_ptr<UIViewController>> navigations;
  std::vector<std::weak_ptr<UIViewController>> controllers;
  std::vector<std::weak_ptr<WKWebView>> webViews;
  std::vector<std::weak_ptr<const void>> delegates;
  std::vector<LiveEngines> liveAtLaunch;
};

TEST_P(Lifetime, TwentySequentialCheckoutsLeaveNoControllerWebViewOrEnginePageAlive) {
  startGateway(AutoResult::success);
  const auto before = driver->liveEngines();
  const auto start = std::chrono::steady_clock::now();
  for (int round = 1; round <= 20; ++round) {
    ASSERT_TRUE(payAndDismiss("ORD-" + std::to_string(round))) << "round " << round;
    // This checkout's engine, and perhaps the last one's on its way out: they do not pile up.
    EXPECT_LE(liveAtLaunch.back().webViews, before.webViews + 2) << "round " << round;
    EXPECT_LE(liveAtLaunch.back().pages, before.pages + 2) << "round " << round;
  }
  std::printf("20 %s checkouts in %lld ms\n", GetParam().c_str(),
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()));

  EXPECT_TRUE(spinUntil([&] { return nothingAlive(before); }, 10s));
  EXPECT_EQ(driver->liveEngines().webViews, before.webViews);
  EXPECT_EQ(driver->liveEngines().pages, before.pages);
  EXPECT_EQ(alive(navigations), 0);
  EXPECT_EQ(alive(controllers), 0);
  EXPECT_EQ(alive(webViews), 0);
  if (GetParam() == "kit") {
    EXPECT_EQ(alive(delegates), 0) << "the checkout let its delegates go";
  } else {
    EXPECT_EQ(alive(delegates), 1) << "only the app keeps its last delegate";
  }

  ASSERT_EQ(checkout->calls.size(), 20u);
  ASSERT_EQ(gateway->requestCount(), 20u);
  for (std::size_t i = 0; i < 20; ++i) {
    const auto& data = checkout->calls[i].data;
    EXPECT_EQ(data.value_or(nlohmann::json()).value("order_id", ""), "ORD-" + std::to_string(i + 1));
  }
  EXPECT_TRUE(driver->showsAppContent());
}

TEST_P(Lifetime, DestroyingTheWindowUnderAnOpenCheckoutLetsItGoWithoutACall) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  auto before = driver->liveEngines();
  --before.webViews;
  --before.pages;
  navigations.push_back(navigation());
  controllers.push_back(controller());
  webViews.push_back(webView());
  driver->destroyWindow();
  EXPECT_TRUE(spinUntil([&] { return nothingAlive(before); }, 10s));
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  EXPECT_TRUE(checkout->calls.empty()) << "closing the window is the app's doing, not a cancel";
}

INSTANTIATE_TEST_SUITE_P(Libraries, Lifetime, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
