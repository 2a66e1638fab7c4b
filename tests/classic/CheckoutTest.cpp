#include "ClassicTestSupport.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/UIStoryboard.h>
#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIBarButtonItem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <typeindex>

using namespace velquor::platform;
using VelquorClassic::Velquor;
using VelquorClassic::VelquorParams;
using VelquorClassic::VelquorViewController;
using classic_test::Checkout;

namespace {

TEST(Launcher, PresentsTheCheckoutFullScreenInANavigationContainerAndStartsOnlyAfterThePresentation) {
  Checkout checkout;
  checkout.launch("https://gw.example/v2/paymentrequest");
  auto navigation = checkout.navigation();
  ASSERT_NE(navigation, nullptr);
  EXPECT_EQ(navigation->modalPresentationStyle(), UIModalPresentationStyle::FullScreen);
  ASSERT_EQ(checkout.toolkit.transitions().size(), 1u);
  EXPECT_TRUE(checkout.toolkit.transitions()[0].animated);
  auto controller = checkout.controller();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->paymentDelegate(), checkout.delegate);
  ASSERT_NE(checkout.engine(), nullptr);
  EXPECT_TRUE(checkout.engine()->loads().empty()) << "the payment starts in the presentation's completion";
  EXPECT_EQ(controller->url(), "") << "emptied when the view loaded";

  checkout.toolkit.runUntilIdle();
  ASSERT_EQ(checkout.engine()->loads().size(), 1u);
  const auto& load = checkout.engine()->loads()[0];
  EXPECT_FALSE(load.baseURL.has_value());
  EXPECT_EQ(load.messages, WKDocumentScriptMessages::none) << "the form itself posts no script messages";
  EXPECT_EQ(load.html, controller->getHtlmForm(checkout.params));
  EXPECT_TRUE(load.html.starts_with("<form action=\"https://gw.example/v2/paymentrequest\" id=\"payment_form\""));
  EXPECT_NE(load.html.find("value=\"v-amount\"   name=\"amount\""), std::string::npos);
  EXPECT_EQ(controller->url(), "https://gw.example/v2/paymentrequest");
  EXPECT_EQ(controller->velquorParams(), nullptr) << "the library never sets the parameters property";
}

TEST(Launcher, WithoutAnEndpointPostsToTheDefaultOneAndSoDoTheEmptyAndTheNilEndpoint) {
  EXPECT_EQ(std::string(kPaymentURL), classic_test::kDefaultEndpoint);
  for (int variant = 0; variant < 3; ++variant) {
    Checkout checkout;
    if (variant == 0) checkout.launchWithoutEndpoint();
    if (variant == 1) checkout.launch("");
    if (variant == 2) checkout.launch(std::nullopt);
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.controller()->url(), classic_test::kDefaultEndpoint) << variant;
    EXPECT_TRUE(checkout.firstPage().starts_with("<form action=\"" + classic_test::kDefaultEndpoint + "\" id="));
    EXPECT_EQ(checkout.firstPage().find("(null)"), std::string::npos);
  }
}

TEST(Launcher, UsesAnyOtherEndpointUnchangedASingleSpaceIncluded) {
  Checkout checkout;
  checkout.launch(" ");
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.controller()->url(), " ");
  EXPECT_TRUE(checkout.firstPage().starts_with("<form action=\" \" id="));
}

TEST(Launcher, AChangeToTheParametersBeforeThePresentationHasFinishedReachesThePage) {
  Checkout checkout;
  checkout.launchWithoutEndpoint();
  checkout.params->setAmount("999.00");
  checkout.params->setValue("changed-hash", "hash");
  checkout.toolkit.runUntilIdle();
  EXPECT_NE(checkout.firstPage().find("value=\"999.00\"   name=\"amount\""), std::string::npos);
  EXPECT_NE(checkout.firstPage().find("value=\"changed-hash\"   name=\"hash\""), std::string::npos);
}

TEST(Launcher, WithoutAParametersObjectPostsEveryFieldEmpty) {
  Checkout checkout;
  Velquor::presentVelquorContorller(checkout.screen, checkout.delegate, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.firstPage().size(), 2232u + classic_test::kDefaultEndpoint.size());
}

TEST(Launcher, PresentsNothingWithoutAPresentingScreen) {
  Checkout checkout;
  Velquor::presentVelquorContorller(nullptr, checkout.delegate, checkout.params);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
  EXPECT_TRUE(checkout.toolkit.transitions().empty());
}

TEST(Launcher, PresentsNothingWhenTheSceneIsMissingOrOfAnotherClass) {
  auto bundle = Bundle::bundleForClass(std::type_index(typeid(VelquorViewController)));
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(bundle->bundleIdentifier(), "VelquorClassic");
  const auto original = bundle->resource<StoryboardResource>("Checkout");
  ASSERT_TRUE(original.has_value());
  bundle->registerClass("Impostor", std::type_index(typeid(UIViewController)),
                        [] { return std::make_shared<UIViewController>(); });

  const std::vector<std::optional<StoryboardResource>> broken = {
      std::nullopt,                                                                      // no storyboard
      StoryboardResource{{{"SomethingElse", "VelquorViewController", std::nullopt}}},    // no such scene
      StoryboardResource{{{"VelquorViewController", "Impostor", std::nullopt}}},         // another class
      StoryboardResource{{{"VelquorViewController", "Unregistered", std::nullopt}}},     // unknown class
  };
  for (const auto& resource : broken) {
    if (resource) bundle->setResource("Checkout", *resource);
    else bundle->removeResource("Checkout");
    Checkout checkout;
    checkout.launchWithoutEndpoint();
    checkout.toolkit.runUntilIdle();
    EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  }
  bundle->setResource("Checkout", *original);
  Checkout checkout;
  checkout.start();
  EXPECT_NE(checkout.controller(), nullptr) << "the scene works again once restored";
}

TEST(Storyboard, TheLibrarysBundleNamesTheCheckoutSceneByItsPlainClassName) {
  auto bundle = Bundle::bundleWithIdentifier("VelquorClassic");
  ASSERT_NE(bundle, nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<VelquorViewController>(bundle->instantiateClass("VelquorViewController")), nullptr);
  const auto storyboard = bundle->resource<StoryboardResource>("Checkout");
  ASSERT_TRUE(storyboard.has_value());
  ASSERT_EQ(storyboard->scenes.size(), 1u);
  EXPECT_EQ(storyboard->scenes[0].identifier, "VelquorViewController");
  EXPECT_EQ(storyboard->scenes[0].className, "VelquorViewController");
}

TEST(Controller, SetsUpItsScreenInTheOrderAndWithTheValuesOfThePlatform) {
  Checkout checkout;
  checkout.launchWithoutEndpoint();
  auto controller = checkout.controller();
  auto root = controller->view();
  ASSERT_EQ(root->subviews().size(), 2u);
  auto webView = std::dynamic_pointer_cast<WKWebView>(root->subviews()[0]);
  auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(root->subviews()[1]);
  ASSERT_TRUE(webView && spinner) << "web view first, spinner above it";
  EXPECT_EQ(webView, controller->velquorWebView());
  EXPECT_EQ(spinner, controller->activityIndicator());
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
  EXPECT_EQ(bar->tintColor(), UIColor::whiteColor()) << "white items";
  EXPECT_EQ(bar->backgroundColor(), UIColor::whiteColor()) << "on a white bar";
  EXPECT_FALSE(bar->barTintColor().has_value());
  const auto& items = controller->navigationItem()->leftBarButtonItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->systemItem(), UIBarButtonSystemItem::Cancel);
  EXPECT_EQ(items[0]->tintColor(), UIColor::blackColor());
  EXPECT_EQ(items[0]->target(), controller);
  EXPECT_EQ(items[0]->action(), "cancelButtonClicked");
}

TEST(Controller, StartsWithEveryPropertyNilAndEmptiesItsEndpointWhenTheViewLoads) {
  velquor::headless::HeadlessToolkit toolkit;
  auto controller = std::make_shared<VelquorViewController>();
  EXPECT_FALSE(controller->url().has_value());
  EXPECT_EQ(controller->velquorWebView(), nullptr);
  EXPECT_EQ(controller->activityIndicator(), nullptr);
  EXPECT_EQ(controller->paymentDelegate(), nullptr);
  EXPECT_EQ(controller->velquorParams(), nullptr);
  controller->view();
  EXPECT_EQ(controller->url(), "");
  EXPECT_EQ(controller->title(), "Velquor") << "outside a container too";
  EXPECT_EQ(controller->navigationItem()->leftBarButtonItems().size(), 1u);
  EXPECT_TRUE(controller->respondsToSelector("cancelButtonClicked"));
  // Never presented, so never dismissed: the registration still holds it.
  controller->velquorWebView()->configuration()->userContentController()->removeAllScriptMessageHandlers();
}

TEST(Controller, EachStartStoresItsEndpointAndLoadsANewPage) {
  Checkout checkout;
  checkout.launch("https://first");
  checkout.toolkit.runUntilIdle();
  auto controller = checkout.controller();
  controller->startPayment(std::make_shared<VelquorParams>(), std::nullopt);
  EXPECT_EQ(controller->url(), classic_test::kDefaultEndpoint);
  controller->startPayment(checkout.params, "https://second");
  EXPECT_EQ(controller->url(), "https://second");
  ASSERT_EQ(checkout.engine()->loads().size(), 3u);
  EXPECT_TRUE(checkout.engine()->loads()[2].html.starts_with("<form action=\"https://second\""));
}

TEST(Controller, TheSpinnerRunsFromTheStartOfEachNavigationToItsFinishAndAFailureLeavesItRunning) {
  Checkout checkout;
  checkout.start();
  auto spinner = checkout.controller()->activityIndicator();
  auto* engine = checkout.engine();
  EXPECT_TRUE(spinner->isHidden()) << "hidden before the first navigation";
  engine->startProvisionalNavigation();
  EXPECT_TRUE(spinner->isAnimating());
  EXPECT_FALSE(spinner->isHidden());
  engine->finishNavigation();
  EXPECT_FALSE(spinner->isAnimating());
  EXPECT_TRUE(spinner->isHidden());
  engine->startProvisionalNavigation();
  engine->failNavigation(NSError("NSURLErrorDomain", -1004));
  EXPECT_TRUE(spinner->isAnimating()) << "a failed load shows nothing and leaves the spinner running";
  engine->startProvisionalNavigation();
  engine->failProvisionalNavigation(NSError("NSURLErrorDomain", -1004));
  EXPECT_TRUE(spinner->isAnimating());
  engine->completeNavigation();
  EXPECT_TRUE(spinner->isHidden()) << "until a later navigation finishes";
  EXPECT_TRUE(checkout.delegate->completed.empty());
  EXPECT_EQ(checkout.delegate->canceled, 0);
}

TEST(Controller, EveryResultMessageReachesTheDelegateInOrderAndTheScreenStays) {
  Checkout checkout;
  checkout.start();
  auto* engine = checkout.engine();
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", nlohmann::json{{"status", "success"}}));
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", nlohmann::json("second")));
  EXPECT_TRUE(engine->postScriptMessage("paymentResponseIos", std::nullopt));

  const auto& completed = checkout.delegate->completed;
  ASSERT_EQ(completed.size(), 3u);
  EXPECT_EQ(completed[0], (nlohmann::json{{"status", "success"}}));
  EXPECT_EQ(completed[1], nlohmann::json("second"));
  EXPECT_FALSE(completed[2].has_value());
  EXPECT_EQ(checkout.delegate->completedBy[0], checkout.controller());
  EXPECT_EQ(checkout.screen->presentedViewController(), checkout.navigation());
  EXPECT_EQ(engine->loads().size(), 1u);
}

TEST(Controller, AMessageWhoseNameDiffersEvenOnlyInLetterCaseReachesNoDelegate) {
  Checkout checkout;
  checkout.start();
  auto controller = checkout.controller();
  auto userContentController = controller->velquorWebView()->configuration()->userContentController();
  for (const char* name : {"PaymentResponseIos", "paymentResponseIOS", "paymentresponseios", "paymentResponseIos "}) {
    controller->didReceiveScriptMessage(userContentController, WKScriptMessage(name, nlohmann::json(1)));
  }
  EXPECT_TRUE(checkout.delegate->completed.empty());
}

TEST(Controller, HoldsItsDelegateWeaklySoAVanishedDelegateSilencesBothMessages) {
  Checkout checkout;
  std::weak_ptr<classic_test::RecordingDelegate> weakDelegate = checkout.delegate;
  checkout.launchWithoutEndpoint();
  checkout.delegate.reset();
  EXPECT_TRUE(weakDelegate.expired()) << "the checkout does not keep the delegate alive";
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(checkout.engine()->loads().size(), 1u) << "the checkout still runs";
  EXPECT_EQ(checkout.controller()->paymentDelegate(), nullptr);

  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("lost")));
  ASSERT_TRUE(velquor::headless::HeadlessToolkit::tapLeftBarButton(checkout.controller()));
  checkout.toolkit.runUntilIdle();
  auto alert = velquor::headless::HeadlessToolkit::presentedAlert(checkout.screen);
  ASSERT_NE(alert, nullptr);
  EXPECT_TRUE(velquor::headless::HeadlessToolkit::tapAlertButton(alert, "Yes"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(velquor::headless::HeadlessToolkit::presentedAlert(checkout.screen), nullptr);
  EXPECT_EQ(checkout.screen->presentedViewController(), checkout.navigation());
}

TEST(Controller, DismissalReleasesTheControllerAndItsWebView) {
  Checkout checkout;
  checkout.start();
  std::weak_ptr<VelquorViewController> controller = checkout.controller();
  std::weak_ptr<WKWebView> webView = checkout.controller()->velquorWebView();
  checkout.engine()->startProvisionalNavigation();  // a navigation under way does not hold it

  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(webView.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
  EXPECT_EQ(checkout.delegate.use_count(), 1) << "nothing of the checkout held the delegate";
}

TEST(Controller, ShownAgainAfterADismissalPassesMessagesOnAgain) {
  Checkout checkout;
  checkout.start();
  auto navigation = checkout.navigation();
  auto controller = checkout.controller();
  checkout.screen->dismissViewControllerAnimated(false, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(controller->velquorWebView()->configuration()->userContentController()->scriptMessageHandlerNames().empty());
  checkout.screen->presentViewController(navigation, false, nullptr);
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("again")));
  EXPECT_EQ(checkout.delegate->completed.size(), 1u);
  checkout.screen->dismissViewControllerAnimated(false, nullptr);
  checkout.toolkit.runUntilIdle();
}

TEST(Controller, AnAppScreenThatGoesAwayWhilePresentingReleasesTheCheckout) {
  Checkout checkout;
  checkout.start();
  std::weak_ptr<UIViewController> navigation = checkout.navigation();
  std::weak_ptr<VelquorViewController> controller = checkout.controller();
  checkout.screen.reset();
  EXPECT_TRUE(navigation.expired());
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

// Keeps no reference to the controller, as an app's delegate should not.
struct DismissingDelegate : VelquorClassic::VelquorDelegate {
  int completed = 0;
  void didPaymentCompleted(const std::shared_ptr<VelquorViewController>& controller,
                           const std::optional<nlohmann::json>&) override {
    ++completed;
    controller->dismissViewControllerAnimated(true, nullptr);
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorViewController>&) override {}
};

TEST(Controller, ADelegateMayDismissTheCheckoutFromInsideItsCallback) {
  Checkout checkout;
  auto delegate = std::make_shared<DismissingDelegate>();
  Velquor::presentVelquorContorller(checkout.screen, delegate, checkout.params);
  checkout.toolkit.runUntilIdle();
  std::weak_ptr<VelquorViewController> controller = checkout.controller();
  checkout.engine()->postScriptMessage("paymentResponseIos", nlohmann::json("done"));
  checkout.toolkit.runUntilIdle();
  EXPECT_EQ(delegate->completed, 1);
  EXPECT_EQ(checkout.screen->presentedViewController(), nullptr);
  EXPECT_TRUE(controller.expired());
}

TEST(Constants, AreExportedWithTheirValues) {
  EXPECT_STREQ(kAlertButtonNo, "No");
  EXPECT_STREQ(kAlertButtonYes, "Yes");
  EXPECT_STREQ(kAlertMessage, "Do you want to cancel this payment?");
  EXPECT_STREQ(kJavaScriptCallbackName, "paymentResponseIos");
  EXPECT_STREQ(kNavigationTitle, "Velquor");
  EXPECT_STREQ(kPaymentURL, ("https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest"));
  EXPECT_STREQ(kStoryBoardName, "storyBoardName");
  EXPECT_STREQ(kVelquorControllerIdentifier, "VelquorViewController");
  EXPECT_STREQ(kUserAgent, "Velquor-iOS-SDK");
  EXPECT_EQ(VelquorClassicVersionNumber, 1.0);
  EXPECT_STREQ(reinterpret_cast<const char*>(VelquorClassicVersionString),
               "@(#)PROGRAM:VelquorClassic  PROJECT:VelquorKit-1\n");
}

}  // namespace
