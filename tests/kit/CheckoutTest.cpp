#include "KitTestSupport.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/UIStoryboard.h>
#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIBarButtonItem.h>

#include <gtest/gtest.h>

#include <any>
#include <typeindex>

using namespace velquor::platform;
using kit_test::Checkout;

namespace {

TEST(Checkout, IsPresentedFullScreenInANavigationContainerAndStartsOnlyAfterThePresentation) {
  Checkout checkout;
  checkout.launch("https://gw.example/v2/paymentrequest");
  auto navigation = checkout.navigation();
  ASSERT_NE(navigation, nullptr);
  EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationStyle::FullScreen);
  ASSERT_EQ(checkout.toolkit.transitions().size(), 1u);
  EXPECT_TRUE(checkout.toolkit.transitions()[0].animated);
  auto controller = checkout.controller();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->delegate(), checkout.delegate);
  ASSERT_NE(checkout.engine(), nullptr);
  EXPECT_TRUE(checkout.engine()->loads().empty()) << "the payment starts in the presentation's completion";

  checkout.toolkit.runUntilIdle();
  ASSERT_EQ(checkout.engine()->loads().size(), 1u);
  const auto& load = checkout.engine()->loads()[0];
  EXPECT_FALSE(load.baseURL.has_value());
  EXPECT_EQ(load.messages, WKDocumentScriptMessages::none) << "the form itself posts no script messages";
  EXPECT_TRUE(load.html.starts_with("<form action=\"https://gw.example/v2/paymentrequest\" id=\"payment_form\""));
  EXPECT_NE(load.html.find("value=\"a5\"         name=\"amount\""), std::string::npos);
}

TEST(Checkout, SetsUpItsScreenInTheOrderAndWithTheValuesOfThePlatform) {
  Checkout checkout;
  checkout.launch();
  auto controller = checkout.controller();
  auto root = controller->view();
  ASSERT_EQ(root->subviews().size(), 2u);
  auto webView = std::dynamic_pointer_cast<WKWebView>(root->subviews()[0]);
  auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(root->subviews()[1]);
  ASSERT_TRUE(webView && spinner) << "web view first, spinner above it";
  EXPECT_EQ(webView, controller->velquorWebView());
  EXPECT_EQ(webView->frame(), root->bounds());
  EXPECT_EQ(webView->customUserAgent(), "Velquor-iOS-SDK");
  EXPECT_EQ(checkout.engine()->userAgent(), "Velquor-iOS-SDK");
  EXPECT_EQ(webView->navigationDelegate(), controller);
  EXPECT_EQ(webView->UIDelegate(), controller);
  EXPECT_TRUE(webView->configuration()->preferences()->javaScriptCanOpenWindowsAutomatically());
  EXPECT_EQ(webView->configuration()->userContentController()->scriptMessageHandlerNames(),
            std::vector<std::string>{"paymentResponseIos"});

  EXPECT_EQ(spinner->activityIndicatorViewStyle(), UIActivityIndicatorViewStyle::Gray);
  EXPECT_TRUE(spinner->hidesWhenStopped());
  EXPECT_EQ(spinner->tintColor(), UIColor::blackColor());
  EXPECT_FALSE(spinner->color().has_value()) << "the view's tint is set, not the spinner's colour";
  EXPECT_EQ(spinner->center(), root->center());
  EXPECT_TRUE(spinner->isHidden());

  EXPECT_EQ(controller->title(), "Velquor");
  auto bar = checkout.navigation()->navigationBar();
  EXPECT_EQ(bar->titleTextAttributes(),
            (NSAttributedStringAttributes{{NSForegroundColorAttributeName, UIColor::systemBlueColor()}}));
  EXPECT_EQ(bar->barTintColor(), UIColor::whiteColor());
  const auto& items = controller->navigationItem()->leftBarButtonItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->systemItem(), UIBarButtonSystemItem::Cancel);
  EXPECT_EQ(items[0]->tintColor(), UIColor::blackColor());
  EXPECT_EQ(items[0]->target(), controller);
  EXPECT_EQ(items[0]->action(), "cancelButtonPressed");
}

TEST(Checkout, AnEmptyEndpointSelectsTheDefaultAndAnyOtherIsUsedUnchanged) {
  for (const auto& [given, used] : std::vector<std::pair<std::string, std::string>>{
           {"", kit_test::kDefaultEndpoint}, {" ", " "}, {"not a url", "not a url"}}) {
    Checkout checkout;
    checkout.launch(given);
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.controller()->url(), used);
    EXPECT_TRUE(checkout.engine()->loads().at(0).html.starts_with("<form action=\"" + used + "\" id="));
  }
}

TEST(Checkout, ASecondStartReplacesTheEndpointAndLoadsANewPage) {
  Checkout checkout;
  checkout.launch("https://first");
  checkout.toolkit.runUntilIdle();
  checkout.controller()->startPayment(VelquorKit::VelquorParams(), "");
  EXPECT_EQ(checkout.controller()->url(), kit_test::kDefaultEndpoint);
  EXPECT_EQ(checkout.engine()->loads().size(), 2u);
}

TEST(Checkout, TheParametersAreCopiedWhenTheLauncherIsCalled) {
  Checkout checkout;
  auto params = kit_test::distinctParams();
  checkout.launch("", params);
  params.amount = "999";
  checkout.toolkit.runUntilIdle();
  EXPECT_NE(checkout.engine()->loads().at(0).html.find("value=\"a5\""), std::string::npos);
  EXPECT_EQ(checkout.engine()->loads().at(0).html.find("999"), std::string::npos);
}

TEST(Checkout, TheSpinnerRunsFromTheStartOfEachNavigationToItsFinishAndAFailureLeavesItRunning) {
  Checkout checkout;
  checkout.launch();
  checkout.toolkit.runUntilIdle();
  auto spinner = checkout.controller()->activityIndicator();
  auto* engine = checkout.engine();
  EXPECT_TRUE(spinner->isHidden());
  engine->startProvisionalNavigation();  // the form page
  EXPECT_TRUE(spinner->isAnimating());
  EXPECT_FALSE(spinner->isHidden());
  engine->finishNavigation();
  EXPECT_FALSE(spinner->isAnimating());
  EXPECT_TRUE(spinner->isHidden());
  engine->startProvisionalNavigation();  // the post to the gateway
  engine->failNavigation(NSError("NSURLErrorDomain", -1004));
  EXPECT_TRUE(spinner->isAnimating()) << "a failed load shows nothing and leaves the spinner running";
  engine->startProvisionalNavigation();
  engine->failProvisionalNavigation(NSError("NSURLErrorDomain", -1004));
  EXPECT_TRUE(spinner->isAnimating());
  EXPECT_TRUE(checkout.delegate->completed.empty());
  EXPECT_EQ(checkout.delegate->canceled, 0);
}

TEST(Checkout, EveryResultMessageReachesTheDelegateInOrderAndTheScreenStays) {
  Checkout checkout;
  checkout.launch();
  checkout.toolkit.runUntilIdle();
  auto* engine = checkout.engine();
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", nlohmann::json{{"status", "success"}}));
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", nlohmann::json("second")));
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", std::nullopt));
  EXPECT_FALSE(engine->postScriptMessage("PaymentResponseIos", nlohmann::json(1)));
  EXPECT_FALSE(engine->postScriptMessage("paymentResponseIOS", nlohmann::json(1)));

  const auto& completed = checkout.delegate->completed;
  ASSERT_EQ(completed.size(), 3u);
  EXPECT_EQ(completed[0], (nlohmann::json{{"status", "success"}}));
  EXPECT_EQ(completed[1], nlohmann::json("second"));
  EXPECT_FALSE(completed[2].has_value());
  EXPECT_EQ(checkout.delegate->completedBy[0].lock(), checkout.controller());
  EXPECT_NE(checkout.screen->presentedViewController(), nullptr);
  EXPECT_EQ(engine->loads().size(), 1u);
}

TEST(Checkout, AMessageUnderAnotherNameOrWithoutADelegateChangesNothing) {
  Checkout checkout;
  checkout.launch();
  checkout.toolkit.runUntilIdle();
  auto controller = checkout.controller();
  auto userContentController = controller->velquorWebView()->configuration()->userContentController();
  controller->didReceiveScriptMessage(userContentController, WKScriptMessage("paymentresponseios", nlohmann::json(1)));
  EXPECT_TRUE(checkout.delegate->completed.empty());
  controller->setDelegate(nullptr);
  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json(1)));
  EXPECT_TRUE(checkout.delegate->completed.empty());
}

TEST(Checkout, TheDelegateIsHeldByTheCheckoutSoTheAppNeedNotKeepIt) {
  Checkout checkout;
  std::weak_ptr<kit_test::RecordingDelegate> weakDelegate = checkout.delegate;
  checkout.launch();
  checkout.delegate.reset();
  checkout.toolkit.runUntilIdle();
  ASSERT_FALSE(weakDelegate.expired());
  checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json(7));
  EXPECT_EQ(weakDelegate.lock()->completed.size(), 1u);
}

TEST(Checkout, DismissalReleasesTheControllerItsWebViewAndItsDelegate) {
  Checkout checkout;
  checkout.launch();
  checkout.toolkit.runUntilIdle();
  std::weak_ptr<UIViewController> controller = checkout.controller();
  std::weak_ptr<WKWebView> webView = checkout.controller()->velquorWebView();
  std::weak_ptr<kit_test::RecordingDelegate> delegate = checkout.delegate;
  checkout.engine()->startProvisionalNavigation();  // a navigation under way does not hold it
  checkout.delegate.reset();

  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(webView.expired());
  EXPECT_TRUE(delegate.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

// Keeps no reference to the controller: the checkout holds its delegate, so one would be a cycle.
struct DismissingDelegate : VelquorKit::VelquorDelegate {
  int completed = 0;
  void didPaymentCompleted(const std::shared_ptr<UIViewController>& controller,
                           const std::optional<nlohmann::json>&) override {
    ++completed;
    controller->dismissViewControllerAnimated(true, nullptr);
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override {}
};

TEST(Checkout, ADelegateMayDismissTheCheckoutFromInsideItsCallback) {
  Checkout checkout;
  auto delegate = std::make_shared<DismissingDelegate>();
  std::weak_ptr<DismissingDelegate> weakDelegate = delegate;
  VelquorKit::Velquor::presentVelquorContorller(checkout.screen, "", VelquorKit::VelquorParams(), delegate);
  delegate.reset();
  checkout.toolkit.runUntilIdle();
  std::weak_ptr<UIViewController> controller = checkout.controller();
  checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("done"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(weakDelegate.expired());
}

TEST(Launcher, PresentsNothingWhenTheSceneIsMissingOrOfAnotherClass) {
  auto bundle = Bundle::bundleForClass(std::type_index(typeid(VelquorKit::VelquorViewController)));
  ASSERT_NE(bundle, nullptr);
  const auto original = bundle->resource<StoryboardResource>("Checkout");
  ASSERT_TRUE(original.has_value());
  bundle->registerClass("VelquorKit.Impostor", std::type_index(typeid(UIViewController)),
                        [] { return std::make_shared<UIViewController>(); });

  const std::vector<std::optional<StoryboardResource>> broken = {
      std::nullopt,                                                             // no storyboard
      StoryboardResource{{{"SomethingElse", "VelquorKit.VelquorViewController", std::nullopt}}},  // no scene
      StoryboardResource{{{"VelquorViewController", "VelquorKit.Impostor", std::nullopt}}},       // wrong class
      StoryboardResource{{{"VelquorViewController", "VelquorKit.Unregistered", std::nullopt}}},   // no class
  };
  for (const auto& resource : broken) {
    if (resource) bundle->setResource("Checkout", *resource);
    else bundle->removeResource("Checkout");
    Checkout checkout;
    std::weak_ptr<kit_test::RecordingDelegate> delegate = checkout.delegate;
    checkout.launch();
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
    checkout.delegate.reset();
    EXPECT_TRUE(delegate.expired()) << "no delegate is set on an impostor";
  }
  // The bundle holds any resource and any class: a storyboard name holding something else, and a
  // scene whose class is no controller at all, present nothing either.
  struct NotAController : NSObject {};
  bundle->registerClass("VelquorKit.NotAController", std::type_index(typeid(NotAController)),
                        [] { return std::make_shared<NotAController>(); });
  for (const std::any& resource : {std::any(std::string("Checkout")),
                                   std::any(StoryboardResource{{{"VelquorViewController", "VelquorKit.NotAController", std::nullopt}}})}) {
    bundle->setResource("Checkout", resource);
    Checkout checkout;
    checkout.launch();
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  }
  bundle->setResource("Checkout", *original);
}

TEST(Launcher, PresentsNothingWithoutAPresentingScreenOrADelegate) {
  Checkout checkout;
  VelquorKit::Velquor::presentVelquorContorller(checkout.screen, "", VelquorKit::VelquorParams(), nullptr);
  VelquorKit::Velquor::presentVelquorContorller(nullptr, "", VelquorKit::VelquorParams(), checkout.delegate);
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

TEST(Controller, OutsideANavigationContainerStillSetsItsTitleAndCancelButton) {
  velquor::headless::HeadlessToolkit toolkit;
  auto controller = std::make_shared<VelquorKit::VelquorViewController>();
  controller->view();
  EXPECT_EQ(controller->title(), "Velquor");
  ASSERT_EQ(controller->navigationItem()->leftBarButtonItems().size(), 1u);
  EXPECT_TRUE(controller->respondsToSelector("cancelButtonPressed"));
  EXPECT_EQ(controller->url(), "");
  EXPECT_EQ(controller->delegate(), nullptr);
  // Never presented, so never dismissed: the registration still holds it.
  controller->velquorWebView()->configuration()->userContentController()->removeAllScriptMessageHandlers();
}

TEST(Checkout, AnAppScreenThatGoesAwayWhilePresentingReleasesTheCheckout) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  VelquorKit::Velquor::presentVelquorContorller(screen, "", VelquorKit::VelquorParams(),
                                                std::make_shared<kit_test::RecordingDelegate>());
  toolkit.runUntilIdle();
  std::weak_ptr<UIViewController> navigation = screen->presentedViewController();
  ASSERT_FALSE(navigation.expired());
  screen.reset();
  EXPECT_TRUE(navigation.expired());
  EXPECT_TRUE(toolkit.webViews().empty());
}

}  // namespace
