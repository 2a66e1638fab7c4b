#include "ClassicTestSupport.h"

#include <velquor/platform/UIActivityIndicatorView.h>

#include <gtest/gtest.h>

using namespace velquor::platform;
using velquor::headless::HeadlessToolkit;

namespace {

struct CancelTest : ::testing::Test {
  classic_test::Checkout checkout;
  void SetUp() override { checkout.start(); }
  std::shared_ptr<UIAlertController> tapCancel() {
    EXPECT_TRUE(HeadlessToolkit::tapLeftBarButton(checkout.controller()));
    checkout.toolkit.runUntilIdle();
    return HeadlessToolkit::presentedAlert(checkout.screen);
  }
};

TEST_F(CancelTest, AsksWithAnAlertWhoseNoIsDestructiveAndComesFirst) {
  auto alert = tapCancel();
  ASSERT_NE(alert, nullptr);
  EXPECT_FALSE(alert->title().has_value());
  EXPECT_EQ(alert->message(), "Do you want to cancel this payment?");
  EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyle::Alert);
  ASSERT_EQ(alert->actions().size(), 2u);
  EXPECT_EQ(alert->actions()[0]->title(), "No");
  EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyle::Destructive);
  EXPECT_EQ(alert->actions()[1]->title(), "Yes");
  EXPECT_EQ(alert->actions()[1]->style(), UIAlertActionStyle::Default);
  EXPECT_EQ(alert->presentingViewController(), checkout.navigation());
  EXPECT_EQ(checkout.delegate->canceled, 0) << "asking tells the delegate nothing";
}

TEST_F(CancelTest, NoClosesTheAlertAndLeavesTheCheckoutExactlyAsItWas) {
  checkout.engine()->startProvisionalNavigation();
  auto alert = tapCancel();
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "No"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(HeadlessToolkit::presentedAlert(checkout.screen), nullptr);
  EXPECT_EQ(checkout.delegate->canceled, 0);
  EXPECT_TRUE(checkout.controller()->activityIndicator()->isAnimating());
  EXPECT_TRUE(checkout.engine()->isLoading());
  EXPECT_EQ(checkout.engine()->loads().size(), 1u);
  EXPECT_EQ(checkout.screen->presentedViewController(), checkout.navigation());
  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("still listening")));
  EXPECT_EQ(checkout.delegate->completed.size(), 1u);
}

TEST_F(CancelTest, EachConfirmedYesSendsExactlyOneCancelAndTheScreenStays) {
  for (int confirmation = 1; confirmation <= 2; ++confirmation) {
    auto alert = tapCancel();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
    EXPECT_FALSE(HeadlessToolkit::tapAlertButton(alert, "Yes")) << "a second tap on the same alert does not count";
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.delegate->canceled, confirmation);
    EXPECT_EQ(checkout.delegate->canceledBy, checkout.controller());
  }
  EXPECT_NE(checkout.navigation(), nullptr) << "the app dismisses the checkout, not the library";
}

TEST_F(CancelTest, YesReachesTheDelegateAsItIsWhenTheCustomerAnswers) {
  auto alert = tapCancel();
  auto later = std::make_shared<classic_test::RecordingDelegate>();
  checkout.controller()->setPaymentDelegate(later);
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.delegate->canceled, 0);
  EXPECT_EQ(later->canceled, 1);
}

TEST_F(CancelTest, CancelTappedWhileTheAlertIsUpShowsNoSecondAlert) {
  auto first = tapCancel();
  auto second = tapCancel();
  EXPECT_EQ(first, second);
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(first, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.delegate->canceled, 1);
}

TEST_F(CancelTest, DismissingTheCheckoutWithTheAlertUpReleasesEverything) {
  std::weak_ptr<UIViewController> controller = checkout.controller();
  std::weak_ptr<UIAlertController> alert = tapCancel();
  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(alert.expired());
  EXPECT_TRUE(controller.expired());
}

}  // namespace
