#include "GtkKeys.h"
#include "GtkTestSupport.h"

#include <SlowScreen.h>

#include <functional>
#include <set>
#include <string>

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>


using namespace velquor::platform;
using namespace gtk_test;
using velquor_testing::SlowScreen;

namespace {

class GtkPresentation : public GtkWindowTest {
 protected:
  // Records whether the window was sliding at each change.
  void watchTransitions() {
    g_signal_connect(slideLayer(), "notify::sliding", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer data) {
                       auto* self = static_cast<GtkPresentation*>(data);
                       self->transitionStates.push_back(self->sliding());
                     }),
                     this);
  }
  // Presents `controller` with a slide, runs `rightAfterCall` straight after the present call, waits
  // for the completion and returns how long after the call it came.
  std::chrono::steady_clock::duration presentAndWait(const std::shared_ptr<UIViewController>& controller,
                                                     const std::function<void()>& rightAfterCall = {}) {
    bool presented = false;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration elapsed{};
    screen->presentViewController(controller, true, [&] {
      presented = true;
      elapsed = std::chrono::steady_clock::now() - start;
    });
    if (rightAfterCall) rightAfterCall();
    EXPECT_TRUE(spinUntil([&] { return presented; })) << "the presentation never completed";
    return elapsed;
  }
  // Presents a screen holding only a (stopped) spinner and returns the spinner's widget.
  GtkWidget* presentSpinner(std::shared_ptr<UIActivityIndicatorView>& spinner) {
    auto controller = std::make_shared<UIViewController>();
    spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
    controller->view()->addSubview(spinner);
    screen->presentViewController(controller, false, nullptr);
    return toolkit->widgetForView(*spinner);
  }
  // The step a spinner's widget shows, -1 for none.
  static int stepShown(GtkWidget* spinner) {
    for (int step = 0; step < 12; ++step) {
      if (gtk_widget_has_css_class(spinner, ("velquor-step-" + std::to_string(step)).c_str())) return step;
    }
    return -1;
  }
  std::vector<bool> transitionStates;
};

TEST_F(GtkPresentation, ANavigationContainerSlidesUpOverTheWindowAndCompletesOnceAfterTheSlide) {
  makeToolkit();
  watchTransitions();
  auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
  int completions = 0;
  std::vector<bool> statesAtCompletion;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration elapsed{};
  screen->presentViewController(navigation, true, [&] {
    ++completions;
    statesAtCompletion = transitionStates;
    elapsed = std::chrono::steady_clock::now() - start;
  });

  EXPECT_EQ(completions, 0) << "never inside the present call";
  GtkWidget* page = toolkit->widgetForViewController(*navigation);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), page) << "sliding up: the page is on top already";
  EXPECT_TRUE(sliding());
  EXPECT_EQ(gtk_widget_get_parent(appContent), GTK_WIDGET(windowStack())) << "the app's content stays, underneath";

  ASSERT_TRUE(spinUntil([&] { return completions == 1; }));
  EXPECT_EQ(statesAtCompletion, (std::vector<bool>{true, false})) << "the slide had run and ended";
  EXPECT_GE(elapsed, 250ms);
  spinFor(500ms);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(navigation->presentingViewController(), screen);
}

TEST_F(GtkPresentation, DismissalSlidesTheAppContentBackRemovesThePageAndThenCompletesOnce) {
  makeToolkit();
  auto content = std::make_shared<UIViewController>();
  auto navigation = UINavigationController::initWithRootViewController(content);
  bool presented = false;
  screen->presentViewController(navigation, true, [&] { presented = true; });
  ASSERT_TRUE(spinUntil([&] { return presented; }));

  int dismissals = 0;
  GtkWidget* pageAtCompletion = reinterpret_cast<GtkWidget*>(1);
  GtkWidget* shownAtCompletion = nullptr;
  screen->dismissViewControllerAnimated(true, [&] {
    ++dismissals;
    pageAtCompletion = toolkit->widgetForViewController(*navigation);
    shownAtCompletion = gtk_stack_get_visible_child(windowStack());
  });
  EXPECT_EQ(dismissals, 0);
  EXPECT_TRUE(sliding());
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent) << "sliding down: what was under is shown";

  ASSERT_TRUE(spinUntil([&] { return dismissals == 1; }));
  EXPECT_EQ(shownAtCompletion, appContent);
  EXPECT_EQ(pageAtCompletion, nullptr) << "the page is gone before the completion runs";
  spinFor(300ms);
  EXPECT_EQ(dismissals, 1);
  EXPECT_EQ(screen->presentedViewController(), nullptr);

  std::weak_ptr<UIViewController> weakNavigation = navigation;
  std::weak_ptr<UIViewController> weakContent = content;
  navigation.reset();
  content.reset();
  EXPECT_TRUE(weakNavigation.expired()) << "the toolkit keeps nothing of a dismissed screen";
  EXPECT_TRUE(weakContent.expired());
}

TEST_F(GtkPresentation, CompletingAtStartTheCompletionRunsWhileItSlidesAndTheFocusMovesInAtItsEnd) {
  auto options = testOptions();
  options.presentationCompletesAtStart = true;
  makeToolkit(options);
  watchTransitions();
  auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
  navigation->topViewController()->navigationItem()->setLeftBarButtonItems(
      {UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, std::weak_ptr<NSObject>(), "cancel")});
  int completions = 0;
  bool slidingAtCompletion = false;
  screen->presentViewController(navigation, true, [&] {
    ++completions;
    slidingAtCompletion = sliding();
  });
  EXPECT_EQ(completions, 0) << "never inside the present call";
  ASSERT_TRUE(spinUntil([&] { return completions == 1; }));
  EXPECT_TRUE(slidingAtCompletion);
  GtkWidget* page = toolkit->widgetForViewController(*navigation);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(spinUntil([&] {
    GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(window));
    return transitionStates == std::vector<bool>{true, false} && focus && gtk_widget_is_ancestor(focus, page);
  })) << "the focus moves onto the page once the slide has ended";
  spinFor(200ms);
  EXPECT_EQ(completions, 1);
}

TEST_F(GtkPresentation, ADismissalDuringTheSlideEndsOnTheAppsContentAndLetsEverythingGo) {
  for (const bool atStart : {false, true}) {
    SCOPED_TRACE(atStart ? "completes at start" : "completes at the end");
    auto options = testOptions();
    options.presentationCompletesAtStart = atStart;
    makeToolkit(options);
    auto content = std::make_shared<UIViewController>();
    std::weak_ptr<UIViewController> weakContent = content;
    auto navigation = UINavigationController::initWithRootViewController(std::move(content));
    int presented = 0;
    screen->presentViewController(navigation, true, [&] { ++presented; });
    spinFor(100ms);
    ASSERT_TRUE(sliding());
    int dismissed = 0;
    screen->dismissViewControllerAnimated(true, [&] { ++dismissed; });
    EXPECT_TRUE(sliding());
    EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent);
    ASSERT_TRUE(spinUntil([&] { return dismissed == 1; }));
    EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent);
    EXPECT_EQ(toolkit->widgetForViewController(*navigation), nullptr);
    spinFor(200ms);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    navigation.reset();
    EXPECT_TRUE(weakContent.expired());
  }
}

TEST_F(GtkPresentation, TheSlidesTimeRunsFromThePresentCallSoLoadingTheViewDoesNotLengthenIt) {
  auto options = testOptions();
  options.transitionDuration = 1s;
  makeToolkit(options);
  for (const auto loading : {400ms, 700ms}) {
    SCOPED_TRACE(testing::Message() << "the view loads in " << loading.count() << " ms");
    auto navigation = UINavigationController::initWithRootViewController(std::make_shared<SlowScreen>(loading));
    const auto elapsed =
        presentAndWait(navigation, [&] { EXPECT_TRUE(sliding()) << "however long the loading, a slide is seen"; });
    // 1 s from the present call, or half of that once the view is there if that is later.
    const auto end = std::max<std::chrono::milliseconds>(1000ms, loading + 500ms);
    EXPECT_GE(elapsed, end);
    EXPECT_LT(elapsed, end + 250ms) << "not the whole slide after the view had loaded";
    EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), toolkit->widgetForViewController(*navigation));

    bool dismissed = false;
    screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  }
}

TEST_F(GtkPresentation, ExpensiveFramesAreSpacedOutButTheSlideKeepsMovingAndEndsOnTime) {
  makeToolkit();
  // Every frame in which the page moves costs 12 ms, as in software rendering on a slow machine.
  struct Frames {
    GtkWidget* layer;
    int moved = 0;
  } frames{slideLayer()};
  GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window));
  ASSERT_NE(clock, nullptr);
  const gulong slow = g_signal_connect(clock, "layout", G_CALLBACK(+[](GdkFrameClock*, gpointer data) {
                                         auto& frames = *static_cast<Frames*>(data);
                                         gboolean sliding = FALSE;
                                         g_object_get(frames.layer, "sliding", &sliding, nullptr);
                                         if (!sliding) return;
                                         ++frames.moved;
                                         const auto until = std::chrono::steady_clock::now() + 12ms;
                                         while (std::chrono::steady_clock::now() < until) {
                                         }
                                       }),
                                       &frames);
  const auto elapsed =
      presentAndWait(UINavigationController::initWithRootViewController(std::make_shared<UIViewController>()));
  g_signal_handler_disconnect(clock, slow);

  // At 60 frames a second 12 ms frames would all fit: some 18 in 300 ms. Spaced out, at most one in
  // four times a frame's cost; never more than 50 ms apart.
  EXPECT_LE(frames.moved, 9);
  EXPECT_GE(frames.moved, 4) << "the slide must still be seen moving";
  EXPECT_LT(elapsed, 400ms);
}

TEST_F(GtkPresentation, WithoutAnimationTheWindowSwitchesAtOnceButTheCompletionStillComesLater) {
  makeToolkit();
  auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
  int completions = 0;
  screen->presentViewController(navigation, false, [&] { ++completions; });
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), toolkit->widgetForViewController(*navigation));
  EXPECT_FALSE(sliding());
  EXPECT_EQ(completions, 0);
  ASSERT_TRUE(spinUntil([&] { return completions == 1; }));

  int dismissals = 0;
  screen->dismissViewControllerAnimated(false, [&] { ++dismissals; });
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent);
  EXPECT_EQ(dismissals, 0);
  ASSERT_TRUE(spinUntil([&] { return dismissals == 1; }));
}

TEST_F(GtkPresentation, AWindowKeepsOneRootControllerAndGetsItsContentBackWhenTheToolkitGoes) {
  makeToolkit();
  EXPECT_EQ(toolkit->rootViewControllerForWindow(window), screen);
  EXPECT_EQ(gtk_widget_get_parent(appContent), GTK_WIDGET(windowStack()));
  auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
  screen->presentViewController(navigation, false, nullptr);
  ASSERT_TRUE(spinUntil([&] { return !navigation->isBeingPresented(); }));
  toolkit.reset();
  EXPECT_EQ(gtk_window_get_child(window), appContent);
  EXPECT_TRUE(spinUntil([&] { return screen->presentedViewController() == nullptr; }))
      << "what the toolkit showed is dismissed with it";
}

TEST_F(GtkPresentation, AControllerNotShownInAnyWindowPresentsNothing) {
  makeToolkit();
  auto stranger = std::make_shared<UIViewController>();
  bool completed = false;
  stranger->presentViewController(std::make_shared<UIViewController>(), true, [&] { completed = true; });
  spinFor(500ms);
  EXPECT_FALSE(completed);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent);
}

TEST_F(GtkPresentation, ARootViewShowsItsSubviewsInModelOrderPlacedByTheirFrames) {
  makeToolkit();
  auto controller = std::make_shared<UIViewController>();
  auto root = controller->view();
  EXPECT_EQ(root->bounds(), CGRectMake(0, 0, 480, 640)) << "a root view is made with the window's size";
  root->setBackgroundColor(UIColor::whiteColor());
  auto filling = UIView::initWithFrame(root->bounds());
  auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  spinner->setCenter(root->center());
  auto corner = UIView::initWithFrame(CGRectMake(10, 20, 30, 40));
  root->addSubview(filling);
  root->addSubview(spinner);
  root->addSubview(corner);
  screen->presentViewController(controller, false, nullptr);

  GtkWidget* rootWidget = toolkit->widgetForView(*root);
  ASSERT_TRUE(rootWidget && GTK_IS_OVERLAY(rootWidget));
  EXPECT_TRUE(gtk_widget_has_css_class(rootWidget, "velquor-bg-ffffffff"));
  GtkWidget* fillingWidget = toolkit->widgetForView(*filling);
  GtkWidget* spinnerWidget = toolkit->widgetForView(*spinner);
  GtkWidget* cornerWidget = toolkit->widgetForView(*corner);
  ASSERT_TRUE(fillingWidget && spinnerWidget && cornerWidget);
  EXPECT_EQ(gtk_widget_get_next_sibling(fillingWidget), spinnerWidget) << "later subviews lie above";
  EXPECT_EQ(gtk_widget_get_next_sibling(spinnerWidget), cornerWidget);
  EXPECT_EQ(gtk_widget_get_halign(fillingWidget), GTK_ALIGN_FILL);
  EXPECT_EQ(gtk_widget_get_valign(fillingWidget), GTK_ALIGN_FILL);
  EXPECT_TRUE(GTK_IS_SPINNER(spinnerWidget));
  EXPECT_EQ(gtk_widget_get_halign(spinnerWidget), GTK_ALIGN_CENTER);
  EXPECT_EQ(gtk_widget_get_valign(spinnerWidget), GTK_ALIGN_CENTER);
  EXPECT_EQ(gtk_widget_get_halign(cornerWidget), GTK_ALIGN_START);
  EXPECT_EQ(gtk_widget_get_margin_start(cornerWidget), 10);
  EXPECT_EQ(gtk_widget_get_margin_top(cornerWidget), 20);

  EXPECT_FALSE(gtk_widget_get_visible(spinnerWidget)) << "created stopped, hence hidden";
  spinner->startAnimating();
  EXPECT_TRUE(gtk_widget_get_visible(spinnerWidget));
  EXPECT_TRUE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget)));
  spinner->stopAnimating();
  EXPECT_FALSE(gtk_widget_get_visible(spinnerWidget));
  EXPECT_FALSE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget)));

  corner->removeFromSuperview();
  EXPECT_EQ(toolkit->widgetForView(*corner), nullptr);
  EXPECT_EQ(gtk_widget_get_next_sibling(spinnerWidget), nullptr);
  filling->setHidden(true);
  EXPECT_FALSE(gtk_widget_get_visible(fillingWidget));
}

// GTK's own spinner redraws the window on every frame; ours turns in twelve steps a second and the
// window is drawn only for those.
TEST_F(GtkPresentation, ASpinnerTurnsInTwelveStepsASecondAndTheWindowIsDrawnOnlyForThem) {
  makeToolkit();
  std::shared_ptr<UIActivityIndicatorView> spinner;
  GtkWidget* spinnerWidget = presentSpinner(spinner);
  ASSERT_TRUE(spinnerWidget);
  const auto stepShown = [&] { return GtkPresentation::stepShown(spinnerWidget); };
  spinner->startAnimating();
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(spinnerWidget); }));
  spinFor(200ms);  // the page's first frames

  struct Paints {
    int count = 0;
    std::set<int> steps;
    std::function<int()> step;
  } paints{0, {}, stepShown};
  GdkFrameClock* clock = gtk_widget_get_frame_clock(spinnerWidget);
  const gulong watch = g_signal_connect(clock, "paint", G_CALLBACK(+[](GdkFrameClock*, gpointer data) {
                                          auto* seen = static_cast<Paints*>(data);
                                          ++seen->count;
                                          seen->steps.insert(seen->step());
                                        }),
                                        &paints);
  spinFor(1000ms);
  g_signal_handler_disconnect(clock, watch);
  EXPECT_GE(paints.steps.size(), 9u) << "it turns about a whole turn a second";
  EXPECT_LE(paints.count, 16) << "the window is drawn once a step, not on every frame (about 60)";
  EXPECT_TRUE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget))) << "the theme's look and busy state while spinning";

  spinner->stopAnimating();
  const int stoppedAt = stepShown();
  spinFor(300ms);
  EXPECT_EQ(stepShown(), stoppedAt) << "a stopped spinner no longer turns";
  EXPECT_FALSE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget)));
}

TEST_F(GtkPresentation, ASpinnerOffScreenStopsTurningAndTurnsAgainWhenShown) {
  makeToolkit();
  std::shared_ptr<UIActivityIndicatorView> spinner;
  GtkWidget* spinnerWidget = presentSpinner(spinner);
  ASSERT_TRUE(spinnerWidget);
  const auto stepShown = [&] { return GtkPresentation::stepShown(spinnerWidget); };
  // Started while its window is hidden (a checkout behind another screen of a kiosk, say).
  gtk_widget_set_visible(GTK_WIDGET(window), FALSE);
  spinner->startAnimating();
  ASSERT_FALSE(gtk_widget_get_mapped(spinnerWidget));
  const int hiddenAt = stepShown();
  spinFor(300ms);
  EXPECT_EQ(stepShown(), hiddenAt) << "nobody sees it, so nothing moves";
  EXPECT_TRUE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget))) << "still busy for assistive technologies";

  gtk_window_present(window);
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(spinnerWidget); }));
  EXPECT_TRUE(spinUntil([&] { return stepShown() != hiddenAt; })) << "it turns once shown";

  gtk_widget_set_visible(GTK_WIDGET(window), FALSE);
  const int hiddenAgainAt = stepShown();
  spinFor(300ms);
  EXPECT_EQ(stepShown(), hiddenAgainAt) << "hidden again while turning";
  spinner->stopAnimating();
  const int stoppedAt = stepShown();
  gtk_window_present(window);
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window)); }));
  spinFor(300ms);
  EXPECT_EQ(stepShown(), stoppedAt) << "stopped while hidden: shown again, it stays stopped";
}

// A screen that counts the actions its bar buttons send.
struct CountingScreen : UIViewController {
  int cancels = 0;
  bool performSelector(std::string_view selector) override {
    if (selector != "cancel") return false;
    ++cancels;
    return true;
  }
};

TEST_F(GtkPresentation, TheBarFollowsTheModelAndAClickSendsTheButtonsAction) {
  makeToolkit();
  auto content = std::make_shared<CountingScreen>();
  auto navigation = UINavigationController::initWithRootViewController(content);
  content->setTitle("First");
  screen->presentViewController(navigation, false, nullptr);
  GtkWidget* bar = toolkit->widgetForView(*navigation->navigationBar());
  ASSERT_NE(bar, nullptr);
  GtkWidget* title = findByName(bar, "velquor-bar-title");
  ASSERT_NE(title, nullptr);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(title)), "First");
  EXPECT_EQ(findByName(bar, "velquor-bar-button"), nullptr);

  content->setTitle("Second");
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(title)), "Second");
  navigation->navigationBar()->setTitleTextAttributes({{NSForegroundColorAttributeName, UIColor::systemRedColor()}});
  EXPECT_TRUE(gtk_widget_has_css_class(title, "velquor-fg-ff3b30ff"));
  navigation->navigationBar()->setBackgroundColor(UIColor::blackColor());
  EXPECT_TRUE(gtk_widget_has_css_class(bar, "velquor-bg-000000ff")) << "no bar tint: the background colour fills the bar";
  navigation->navigationBar()->setBarTintColor(UIColor::whiteColor());
  EXPECT_TRUE(gtk_widget_has_css_class(bar, "velquor-bg-ffffffff")) << "the bar tint wins";
  EXPECT_FALSE(gtk_widget_has_css_class(bar, "velquor-bg-000000ff"));

  auto item = UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, content, "cancel");
  content->navigationItem()->setLeftBarButtonItems({item});
  GtkWidget* button = findByName(bar, "velquor-bar-button");
  ASSERT_NE(button, nullptr);
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(button)), "Cancel");
  EXPECT_TRUE(gtk_widget_has_css_class(button, "velquor-fg-007affff")) << "untinted: the system blue";
  navigation->navigationBar()->setTintColor(UIColor::whiteColor());
  EXPECT_TRUE(gtk_widget_has_css_class(button, "velquor-fg-ffffffff")) << "the bar's tint colours its items";
  item->setTintColor(UIColor::blackColor());
  EXPECT_TRUE(gtk_widget_has_css_class(button, "velquor-fg-000000ff")) << "an item's own tint wins";

  g_signal_emit_by_name(button, "clicked");
  EXPECT_EQ(content->cancels, 1);
  content->navigationItem()->setLeftBarButtonItems({});
  EXPECT_EQ(findByName(bar, "velquor-bar-button"), nullptr);
}

TEST_F(GtkPresentation, TheSlideEndsWithTheFocusOnThePageAndEscapeThereTapsItsCancelItem) {
  if (!canPressKeys()) GTEST_SKIP() << "keys go through an X server, by xdotool";
  makeToolkit();
  auto content = std::make_shared<CountingScreen>();
  auto navigation = UINavigationController::initWithRootViewController(content);
  content->setTitle("Pay");
  content->navigationItem()->setLeftBarButtonItems(
      {UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Done, content, "cancel"),
       UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, content, "cancel")});
  bool presented = false;
  screen->presentViewController(navigation, true, [&] { presented = true; });
  ASSERT_TRUE(spinUntil([&] { return presented; }));
  GtkWidget* page = toolkit->widgetForViewController(*navigation);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(page)), GTK_ACCESSIBLE_ROLE_GROUP);
  // No web view on this page: its first control takes the focus.
  GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(window));
  ASSERT_NE(focus, nullptr);
  EXPECT_TRUE(gtk_widget_is_ancestor(focus, page));
  EXPECT_TRUE(GTK_IS_BUTTON(focus));

  // Escape taps the first Cancel item, not the first item; with a modifier it is another key.
  ASSERT_TRUE(pressKeys(window, {"ctrl+Escape", "shift+Escape"}));
  spinFor(300ms);
  EXPECT_EQ(content->cancels, 0);
  ASSERT_TRUE(pressKeys(window, {"Escape"}));
  ASSERT_TRUE(spinUntil([&] { return content->cancels == 1; }));
  content->navigationItem()->setLeftBarButtonItems({});
  ASSERT_TRUE(pressKeys(window, {"Escape"}));
  spinFor(300ms);
  EXPECT_EQ(content->cancels, 1) << "a screen without a Cancel item ignores Escape";

  // A plain controller's page is no region: nothing names it.
  bool dismissed = false;
  screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
  ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  auto plain = std::make_shared<UIViewController>();
  screen->presentViewController(plain, false, nullptr);
  ASSERT_NE(toolkit->widgetForViewController(*plain), nullptr);
  EXPECT_NE(gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(toolkit->widgetForViewController(*plain))),
            GTK_ACCESSIBLE_ROLE_GROUP);
}

TEST(GtkToolkitCreation, NeedsGtkInitialisedFirst) {
  if (gtk_is_initialized()) GTEST_SKIP() << "GTK was initialised by an earlier test in this process";
  EXPECT_THROW(velquor::gtk::GtkToolkit toolkit, std::logic_error);
}

}  // namespace
