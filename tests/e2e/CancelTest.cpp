// Cancel in the bar, the question, and its two answers, over the gateway's page.

#include "CheckoutEndToEnd.h"

#include <velquor/platform/UIAlertController.h>

namespace e2e {
namespace {

class Cancel : public CheckoutEndToEnd {
 protected:
  static constexpr const char* kNo = "No";
  static constexpr const char* kYes = "Yes";

  // Taps Cancel, checks the question, and answers it.
  void tapCancelAndAnswer(const char* answer) {
    ASSERT_TRUE(driver->pressCancel(*navigation())) << "no Cancel in the bar";
    std::shared_ptr<velquor::platform::UIAlertController> alert;
    std::optional<AlertOnScreen> shown;
    ASSERT_TRUE(spinUntil([&] {
      alert = std::dynamic_pointer_cast<velquor::platform::UIAlertController>(navigation()->presentedViewController());
      shown = alert ? driver->alertOnScreen(*alert) : std::nullopt;
      return shown.has_value();
    }));
    EXPECT_EQ(shown->text, "Do you want to cancel this payment?");
    // "No" was added first, as the destructive one; "Yes" second.
    ASSERT_EQ(shown->buttons.size(), 2u);
    EXPECT_EQ(shown->buttons[0].label, kNo);
    EXPECT_EQ(shown->buttons[1].label, kYes);
    EXPECT_TRUE(shown->buttons[0].destructive);
    EXPECT_FALSE(shown->buttons[1].destructive);
    ASSERT_TRUE(driver->chooseAlertButton(*alert, answer));
    EXPECT_TRUE(spinUntil([&] { return !navigation()->presentedViewController() && !driver->anyAlertOnScreen(); }));
  }

  bool gatewayPageStillShown() const {
    return driver->showsCheckout(*navigation()) &&
           evaluate("document.getElementById('order_id').textContent") == "\"ORD-2001\"";
  }
};

TEST_P(Cancel, TheBarOverTheGatewayPageShowsTheTitleAndCancel) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  const auto bar = driver->barOnScreen(*navigation());
  ASSERT_TRUE(bar.has_value());
  EXPECT_EQ(bar->first, "Velquor");
  EXPECT_EQ(bar->second, "Cancel");
}

TEST_P(Cancel, NoLeavesTheGatewayPageShownAndTellsTheDelegateNothing) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kNo);
  EXPECT_TRUE(callsAfter(500ms).empty());
  EXPECT_TRUE(gatewayPageStillShown());
  EXPECT_FALSE(spinner()->isAnimating());
  EXPECT_EQ(gateway->requestCount(), 1u) << "the page was not reloaded";

  // The payment goes on: the customer can still pay.
  clickInPage(kPayButton);
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() == 1; }));
  EXPECT_EQ(checkout->calls[0].kind, DelegateCall::Kind::completed);
}

TEST_P(Cancel, YesTellsTheDelegateExactlyOnceAndLeavesTheDismissalToTheApp) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(500ms);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, DelegateCall::Kind::canceled);
  EXPECT_EQ(calls[0].controller.lock(), controller());
  EXPECT_TRUE(gatewayPageStillShown()) << "the app decides when the checkout goes";
}

TEST_P(Cancel, EachConfirmedCancelIsOneCallAndAnAppDismissalFromItEndsTheCheckout) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kYes);
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() >= 2; }));
  ASSERT_EQ(callsAfter(300ms).size(), 2u);

  // As an app does: dismiss from the delegate call.
  bool dismissed = false;
  checkout->onCall = [&](const DelegateCall& call) {
    if (auto controller = call.controller.lock()) controller->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  };
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  EXPECT_TRUE(driver->showsAppContent()) << "the app's own content is back";
  EXPECT_EQ(checkout->calls.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, Cancel, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
