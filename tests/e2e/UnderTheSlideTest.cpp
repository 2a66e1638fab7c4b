// A toolkit that runs the presentation's completion as the slide starts: the payment runs while the
// checkout slides in, and everything the customer or the app does meanwhile is sound.

#include "CheckoutEndToEnd.h"

#include <velquor/platform/UIAlertController.h>

namespace e2e {
namespace {

// Far longer than a loopback payment takes, even with a cold engine on a loaded machine. Slides
// out take as long.
constexpr auto kLongSlide = 5s;

class UnderTheSlide : public CheckoutEndToEnd {
 protected:
  void SetUp() override {
    CheckoutEndToEnd::SetUp();
    driver->presentationsCompleteAtStart = true;
    makeToolkit(kLongSlide);
  }
};

TEST_P(UnderTheSlide, ThePaymentIsPostedAndAnsweredDuringTheSlideAndADismissalThenLetsEverythingGo) {
  startGateway(AutoResult::success);
  const auto before = driver->liveEngines();
  bool answered = false;
  bool slidingAtResult = false;
  bool dismissed = false;
  checkout->onCall = [&](const DelegateCall& call) {
    if (std::exchange(answered, true)) return;
    slidingAtResult = driver->sliding();
    if (auto controller = call.controller.lock()) controller->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  };
  launch(gateway->endpoint());
  std::weak_ptr<velquor::platform::UIViewController> weakNavigation = navigation();
  std::weak_ptr<velquor::platform::UIViewController> weakController = controller();
  std::weak_ptr<velquor::platform::WKWebView> weakWebView = webView();
  ASSERT_TRUE(driver->sliding());

  ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  EXPECT_TRUE(slidingAtResult) << "the answer came while the checkout slid in";
  ASSERT_EQ(checkout->calls.size(), 1u);
  EXPECT_EQ(checkout->calls[0].kind, DelegateCall::Kind::completed);
  EXPECT_EQ(requests().size(), 1u);
  checkout->onCall = nullptr;
  EXPECT_TRUE(driver->showsAppContent());
  EXPECT_FALSE(driver->sliding()) << "the dismissal's slide, from where the checkout was, has ended";
  EXPECT_TRUE(spinUntil([&] {
    return driver->liveEngines() == before && weakNavigation.expired() && weakController.expired() &&
           weakWebView.expired();
  })) << "nothing of the checkout is kept";
  EXPECT_EQ(callsAfter(300ms).size(), 1u);
}

TEST_P(UnderTheSlide, CancelDuringTheSlideAsksFirstAndYesTellsTheDelegateOnce) {
  startGateway(AutoResult::none);
  launch(gateway->endpoint());
  ASSERT_TRUE(spinUntil([&] { return requests().size() == 1; }, kLongSlide));
  ASSERT_TRUE(driver->sliding());
  ASSERT_TRUE(driver->pressCancel(*navigation()));
  std::shared_ptr<velquor::platform::UIAlertController> alert;
  ASSERT_TRUE(spinUntil([&] {
    alert = std::dynamic_pointer_cast<velquor::platform::UIAlertController>(navigation()->presentedViewController());
    return alert && driver->alertOnScreen(*alert).has_value();
  }));
  EXPECT_TRUE(checkout->calls.empty()) << "asked first";
  ASSERT_TRUE(driver->chooseAlertButton(*alert, "Yes"));
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(300ms);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, DelegateCall::Kind::canceled);
}

INSTANTIATE_TEST_SUITE_P(Libraries, UnderTheSlide, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
