#pragma once

// Cancel as the customer meets it, the same for both libraries: the alert, No, Yes, and leaving
// with the alert up. Each library's tests instantiate the suite with a `Library` that says how to
// start its checkout and reach its delegate:
//   using Checkout, Delegate; static void start(Checkout&);
//   static void setDelegate(Checkout&, std::shared_ptr<Delegate>);
//   static std::shared_ptr<UIViewController> canceledBy(const Delegate&);

#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIAlertAction.h>
#include <velquor/platform/UIAlertController.h>

#include <gtest/gtest.h>

#include <memory>

namespace velquor_testing {

template <class Library>
class Cancel : public ::testing::Test {
 protected:
  void SetUp() override { Library::start(checkout); }
  std::shared_ptr<velquor::platform::UIAlertController> tapCancel() {
    EXPECT_TRUE(velquor::headless::HeadlessToolkit::tapLeftBarButton(checkout.controller()));
    checkout.toolkit.runUntilIdle();
    return velquor::headless::HeadlessToolkit::presentedAlert(checkout.screen);
  }

  typename Library::Checkout checkout;
};

TYPED_TEST_SUITE_P(Cancel);

TYPED_TEST_P(Cancel, AsksWithAnAlertWhoseNoIsDestructiveAndComesFirst) {
  using namespace velquor::platform;
  auto alert = this->tapCancel();
  ASSERT_NE(alert, nullptr);
  EXPECT_FALSE(alert->title().has_value());
  EXPECT_EQ(alert->message(), "Do you want to cancel this payment?");
  EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyle::Alert);
  ASSERT_EQ(alert->actions().size(), 2u);
  EXPECT_EQ(alert->actions()[0]->title(), "No");
  EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyle::Destructive);
  EXPECT_EQ(alert->actions()[1]->title(), "Yes");
  EXPECT_EQ(alert->actions()[1]->style(), UIAlertActionStyle::Default);
  EXPECT_EQ(alert->presentingViewController(), this->checkout.navigation());
  EXPECT_EQ(this->checkout.delegate->canceled, 0) << "asking tells the delegate nothing";
}

TYPED_TEST_P(Cancel, NoClosesTheAlertAndLeavesTheCheckoutExactlyAsItWas) {
  using velquor::headless::HeadlessToolkit;
  auto& checkout = this->checkout;
  checkout.engine()->startProvisionalNavigation();
  auto alert = this->tapCancel();
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

TYPED_TEST_P(Cancel, EachConfirmedYesSendsExactlyOneCancelAndTheScreenStays) {
  using velquor::headless::HeadlessToolkit;
  auto& checkout = this->checkout;
  for (int confirmation = 1; confirmation <= 2; ++confirmation) {
    auto alert = this->tapCancel();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
    EXPECT_FALSE(HeadlessToolkit::tapAlertButton(alert, "Yes")) << "a second tap on the same alert does not count";
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.delegate->canceled, confirmation);
    EXPECT_EQ(TypeParam::canceledBy(*checkout.delegate), checkout.controller());
  }
  EXPECT_NE(checkout.navigation(), nullptr) << "the app dismisses the checkout, not the library";
  checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("late"));
  EXPECT_EQ(checkout.delegate->completed.size(), 1u) << "the page is still heard after a cancel";
}

TYPED_TEST_P(Cancel, YesReachesTheDelegateOfTheMomentTheCustomerAnswers) {
  using velquor::headless::HeadlessToolkit;
  auto& checkout = this->checkout;
  auto alert = this->tapCancel();
  auto later = std::make_shared<typename TypeParam::Delegate>();
  TypeParam::setDelegate(checkout, later);
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.delegate->canceled, 0);
  EXPECT_EQ(later->canceled, 1);

  alert = this->tapCancel();
  TypeParam::setDelegate(checkout, nullptr);
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(HeadlessToolkit::presentedAlert(checkout.screen), nullptr) << "without a delegate Yes only closes the alert";
  EXPECT_EQ(later->canceled, 1);
}

TYPED_TEST_P(Cancel, CancelTappedWhileTheAlertIsUpShowsNoSecondAlert) {
  auto first = this->tapCancel();
  auto second = this->tapCancel();
  EXPECT_EQ(first, second);
  EXPECT_TRUE(velquor::headless::HeadlessToolkit::tapAlertButton(first, "Yes"));
  this->checkout.toolkit.runUntilIdle();
  EXPECT_EQ(this->checkout.delegate->canceled, 1);
}

TYPED_TEST_P(Cancel, DismissingTheCheckoutWithTheAlertUpReleasesEverything) {
  std::weak_ptr<velquor::platform::UIViewController> controller = this->checkout.controller();
  std::weak_ptr<velquor::platform::UIAlertController> alert = this->tapCancel();
  this->checkout.delegate.reset();
  this->checkout.screen->dismissViewControllerAnimated(true, nullptr);
  this->checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(alert.expired());
  EXPECT_TRUE(controller.expired());
}

TYPED_TEST_P(Cancel, EscapeAsksAsCancelDoesAndTheAlertKeepsItsQuestionUp) {
  using velquor::headless::HeadlessToolkit;
  auto& checkout = this->checkout;
  ASSERT_TRUE(HeadlessToolkit::pressEscape(checkout.screen));
  checkout.toolkit.runUntilIdle();
  auto alert = HeadlessToolkit::presentedAlert(checkout.screen);
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->message(), "Do you want to cancel this payment?");
  // The alert has no Cancel-style action: Escape answers nothing, so it cannot cancel by accident.
  EXPECT_FALSE(HeadlessToolkit::pressEscape(checkout.screen));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(HeadlessToolkit::presentedAlert(checkout.screen), alert);
  EXPECT_EQ(checkout.delegate->canceled, 0);
  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.delegate->canceled, 1);
}

REGISTER_TYPED_TEST_SUITE_P(Cancel, AsksWithAnAlertWhoseNoIsDestructiveAndComesFirst, EscapeAsksAsCancelDoesAndTheAlertKeepsItsQuestionUp,
                            NoClosesTheAlertAndLeavesTheCheckoutExactlyAsItWas,
                            EachConfirmedYesSendsExactlyOneCancelAndTheScreenStays,
                            YesReachesTheDelegateOfTheMomentTheCustomerAnswers,
                            CancelTappedWhileTheAlertIsUpShowsNoSecondAlert,
                            DismissingTheCheckoutWithTheAlertUpReleasesEverything);

}  // namespace velquor_testing
