#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UINavigationController.h>

#include <gtest/gtest.h>

#include <chrono>

using namespace velquor::platform;
using velquor::headless::HeadlessToolkit;

namespace {

class RecordingController : public UIViewController {
 public:
  int didLoad = 0;
  int didDisappear = 0;
  bool dismissedWhenGone = false;
  void viewDidLoad() override { ++didLoad; }
  void viewDidDisappear(bool) override {
    ++didDisappear;
    auto navigation = navigationController();
    dismissedWhenGone = isBeingDismissed() || (navigation && navigation->isBeingDismissed());
  }
};

TEST(Presentation, CompletesOnALaterTurnOfTheRunLoopExactlyOnce) {
  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto content = std::make_shared<RecordingController>();
  auto navigation = UINavigationController::initWithRootViewController(content);
  int completions = 0;
  screen->presentViewController(navigation, true, [&] { ++completions; });

  EXPECT_EQ(completions, 0);
  EXPECT_EQ(content->didLoad, 1) << "presenting loads the view";
  EXPECT_EQ(screen->presentedViewController(), navigation);
  EXPECT_TRUE(navigation->isBeingPresented());
  toolkit.runUntilIdle();
  toolkit.runUntilIdle();
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(navigation->isBeingPresented());
  EXPECT_EQ(content->navigationController(), navigation);
}

TEST(Presentation, TheSlideCountsFromBeforeTheViewLoadsAndAScreenNeverPresentedFromNow) {
  using Clock = std::chrono::steady_clock;
  auto idle = std::make_shared<UIViewController>();
  const auto before = Clock::now();
  const auto unpresented = idle->slideStart();
  EXPECT_LE(before, unpresented);
  EXPECT_LE(unpresented, Clock::now());

  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  struct Loading : UIViewController {
    Clock::time_point loadedAt{};
    void viewDidLoad() override { loadedAt = Clock::now(); }
  };
  auto content = std::make_shared<Loading>();
  const auto called = Clock::now();
  screen->presentViewController(content, true, nullptr);
  EXPECT_LE(called, content->slideStart());
  EXPECT_LE(content->slideStart(), content->loadedAt) << "loading the view is part of the slide";
  EXPECT_EQ(content->slideStart(), content->presentationStart());
}

TEST(Presentation, AScreenThatIsAlreadyPresentingRefusesAnotherAndRunsNoCompletion) {
  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  screen->presentViewController(std::make_shared<UIViewController>(), false, nullptr);
  bool secondCompleted = false;
  auto second = std::make_shared<UIViewController>();
  screen->presentViewController(second, false, [&] { secondCompleted = true; });
  toolkit.runUntilIdle();
  EXPECT_FALSE(secondCompleted);
  EXPECT_NE(screen->presentedViewController(), second);
  EXPECT_EQ(second->presentingViewController(), nullptr);
}

TEST(Presentation, DismissingAContainerTakesWhatItPresentsAlongAndReleasesBoth) {
  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto content = std::make_shared<RecordingController>();
  std::weak_ptr<UIViewController> weakNavigation;
  std::weak_ptr<UIAlertController> weakAlert;
  {
    auto navigation = UINavigationController::initWithRootViewController(content);
    weakNavigation = navigation;
    screen->presentViewController(navigation, true, nullptr);
    toolkit.runUntilIdle();
    auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "?", UIAlertControllerStyle::Alert);
    weakAlert = alert;
    content->presentViewController(alert, true, nullptr);  // presented by the outermost container
    toolkit.runUntilIdle();
    ASSERT_EQ(navigation->presentedViewController(), alert);
  }
  screen->dismissViewControllerAnimated(true, nullptr);
  EXPECT_NE(screen->presentedViewController(), nullptr) << "taken off only when the transition ends";
  toolkit.runUntilIdle();
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  EXPECT_EQ(content->didDisappear, 1);
  EXPECT_TRUE(content->dismissedWhenGone);
  content.reset();
  EXPECT_TRUE(weakNavigation.expired());
  EXPECT_TRUE(weakAlert.expired());
}

TEST(Alert, ATapClosesTheAlertThenRunsThatHandlerOnceAndLaterTapsDoNothing) {
  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Sure?", UIAlertControllerStyle::Alert);
  std::vector<std::string> ran;
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, [&](auto&) { ran.push_back("No"); }));
  alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default, [&](auto&) {
    ran.push_back(screen->presentedViewController() ? "Yes while shown" : "Yes");
  }));
  EXPECT_FALSE(HeadlessToolkit::tapAlertButton(alert, "Yes")) << "an alert that is not shown cannot be tapped";
  screen->presentViewController(alert, true, nullptr);
  toolkit.runUntilIdle();

  EXPECT_TRUE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  EXPECT_FALSE(HeadlessToolkit::tapAlertButton(alert, "No"));
  EXPECT_FALSE(HeadlessToolkit::tapAlertButton(alert, "Yes"));
  toolkit.runUntilIdle();
  EXPECT_EQ(ran, std::vector<std::string>{"Yes"});
  EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST(ActivityIndicator, IsVisibleExactlyWhileItAnimates) {
  auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  EXPECT_TRUE(spinner->isHidden());
  EXPECT_FALSE(spinner->isAnimating());
  spinner->startAnimating();
  EXPECT_FALSE(spinner->isHidden());
  spinner->stopAnimating();
  EXPECT_TRUE(spinner->isHidden());
  spinner->setHidesWhenStopped(false);
  EXPECT_FALSE(spinner->isHidden());
}

TEST(BarButtonItem, SendsItsActionToALiveTargetOnlyAndDoesNotKeepItAlive) {
  struct Target : NSObject {
    int taps = 0;
    bool performSelector(std::string_view selector) override {
      if (selector != "tapped") return false;
      ++taps;
      return true;
    }
  };
  auto target = std::make_shared<Target>();
  auto item = UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, target, "tapped");
  EXPECT_TRUE(item->sendAction());
  EXPECT_EQ(target->taps, 1);
  std::weak_ptr<Target> weakTarget = target;
  target.reset();
  EXPECT_TRUE(weakTarget.expired());
  EXPECT_FALSE(item->sendAction());
}

TEST(EscapeKey, TapsTheFrontmostCancelOnlyTheScreensCancelItemOrTheAlertsCancelAction) {
  struct Target : NSObject {
    std::vector<std::string> taps;
    bool performSelector(std::string_view selector) override {
      taps.emplace_back(selector);
      return true;
    }
  };
  HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  EXPECT_FALSE(HeadlessToolkit::pressEscape(screen)) << "a screen without a Cancel item ignores it";

  auto target = std::make_shared<Target>();
  auto checkout = std::make_shared<UIViewController>();
  checkout->navigationItem()->setLeftBarButtonItems(
      {UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Done, target, "done"),
       UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, target, "cancel"),
       UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, target, "second cancel")});
  auto navigation = UINavigationController::initWithRootViewController(checkout);
  screen->presentViewController(navigation, true, nullptr);
  toolkit.runUntilIdle();
  EXPECT_TRUE(HeadlessToolkit::pressEscape(screen));
  EXPECT_EQ(target->taps, std::vector<std::string>{"cancel"});

  // With an alert in front, the alert takes Escape: its Cancel-style action, and nothing behind it.
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Sure?", UIAlertControllerStyle::Alert);
  int dismissed = 0;
  alert->addAction(UIAlertAction::actionWithTitle("Go", UIAlertActionStyle::Default, nullptr));
  alert->addAction(UIAlertAction::actionWithTitle("Stay", UIAlertActionStyle::Cancel, [&](auto&) { ++dismissed; }));
  checkout->presentViewController(alert, true, nullptr);
  toolkit.runUntilIdle();
  EXPECT_TRUE(HeadlessToolkit::pressEscape(screen));
  toolkit.runUntilIdle();
  EXPECT_EQ(dismissed, 1);
  EXPECT_EQ(checkout->presentedViewController(), nullptr);
  EXPECT_EQ(target->taps.size(), 1u);
}

TEST(Observation, ObserversHearChangesUntilTheirObservationIsDropped) {
  auto view = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
  int changes = 0;
  auto observation = view->addObserver([&](NSObject&) { ++changes; });
  view->setHidden(true);
  view->setBackgroundColor(UIColor::whiteColor());
  EXPECT_EQ(changes, 2);
  observation.invalidate();
  view->setHidden(false);
  EXPECT_EQ(changes, 2);
}

TEST(Toolkit, TheLastCreatedToolkitIsCurrentUntilItGoes) {
  EXPECT_EQ(Toolkit::current(), nullptr);
  {
    HeadlessToolkit outer;
    {
      HeadlessToolkit inner(CGRectMake(0, 0, 100, 200));
      EXPECT_EQ(Toolkit::current(), &inner);
      EXPECT_EQ(currentScreenBounds(), CGRectMake(0, 0, 100, 200));
    }
    EXPECT_EQ(Toolkit::current(), &outer);
  }
  EXPECT_EQ(Toolkit::current(), nullptr);
}

TEST(PresentationCompletingAtStart, TheCompletionRunsWhileTheSlideIsUnderWayAndTheSlideEndsOnTheTurnAfter) {
  for (const bool atStart : {false, true}) {
    SCOPED_TRACE(atStart ? "completes at start" : "completes at the end");
    HeadlessToolkit toolkit({.presentationCompletesAtStart = atStart});
    auto screen = toolkit.makeAppScreen();
    auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
    std::vector<bool> slidingAtCompletion;
    screen->presentViewController(navigation, true, [&] { slidingAtCompletion.push_back(toolkit.isSliding(navigation)); });
    EXPECT_TRUE(toolkit.isSliding(navigation));
    EXPECT_TRUE(slidingAtCompletion.empty()) << "never inside the present call";
    toolkit.runUntilIdle();
    EXPECT_EQ(slidingAtCompletion, std::vector<bool>{atStart});
    EXPECT_FALSE(toolkit.isSliding(navigation));

    // Without animation there is no slide to run under.
    screen->dismissViewControllerAnimated(false, nullptr);
    toolkit.runUntilIdle();
    bool completed = false;
    screen->presentViewController(navigation, false, [&] { completed = true; });
    EXPECT_FALSE(toolkit.isSliding(navigation));
    toolkit.runUntilIdle();
    EXPECT_TRUE(completed);
  }
}

TEST(PresentationCompletingAtStart, ADismissalDuringTheSlideCutsItShortAndLetsGoOfEverything) {
  HeadlessToolkit toolkit({.presentationCompletesAtStart = true});
  auto screen = toolkit.makeAppScreen();
  auto content = std::make_shared<UIViewController>();
  auto navigation = UINavigationController::initWithRootViewController(content);
  int dismissals = 0;
  screen->presentViewController(navigation, true, [&] {
    // What the completion started answers at once: the app dismisses while the slide is under way.
    screen->dismissViewControllerAnimated(true, [&] { ++dismissals; });
  });
  EXPECT_EQ(toolkit.runUntilIdle(1), 1u);
  EXPECT_FALSE(toolkit.isSliding(navigation)) << "the dismissal cut the slide short";
  toolkit.runUntilIdle();
  EXPECT_EQ(dismissals, 1);
  EXPECT_EQ(screen->presentedViewController(), nullptr);

  std::weak_ptr<UIViewController> weakNavigation = navigation;
  std::weak_ptr<UIViewController> weakContent = content;
  navigation.reset();
  content.reset();
  EXPECT_TRUE(weakNavigation.expired());
  EXPECT_TRUE(weakContent.expired());
}

}  // namespace
