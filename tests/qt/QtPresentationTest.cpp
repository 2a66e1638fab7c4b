// Presentation over an app's window, the bar, the spinner and alerts on the Qt toolkit.

#include "QtTestSupport.h"

#include <SlowScreen.h>

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebView.h>

#include <QLabel>
#include <QMessageBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWebEngineView>

#include <algorithm>

using namespace velquor::platform;
using namespace qt_test;
using velquor_testing::SlowScreen;

namespace {

// A screen that counts the actions its bar buttons send.
struct CountingScreen : UIViewController {
  int cancels = 0;
  bool performSelector(std::string_view selector) override {
    if (selector != "cancel") return false;
    ++cancels;
    return true;
  }
};

class QtPresentation : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
  }
  // Presents a navigation container over the window and waits for its completion.
  std::shared_ptr<UINavigationController> presentNavigation(std::shared_ptr<UIViewController> content) {
    auto navigation = UINavigationController::initWithRootViewController(std::move(content));
    bool presented = false;
    screen->presentViewController(navigation, false, [&] { presented = true; });
    EXPECT_TRUE(spinUntil([&] { return presented; }));
    return navigation;
  }
  QList<QWidget*> pagesOnWindow() const {
    return window->findChildren<QWidget*>("velquor-presented-page", Qt::FindDirectChildrenOnly);
  }
};

TEST_F(QtPresentation, ANavigationContainerSlidesUpOverTheWindowAndCompletesOnceAfterTheSlide) {
  auto navigation = UINavigationController::initWithRootViewController(std::make_shared<UIViewController>());
  int completions = 0;
  QPoint positionAtCompletion(-1, -1);
  std::vector<int> heights;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration elapsed{};
  QWidget* page = nullptr;
  screen->presentViewController(navigation, true, [&] {
    ++completions;
    positionAtCompletion = page->pos();
    elapsed = std::chrono::steady_clock::now() - start;
  });
  EXPECT_EQ(completions, 0) << "never inside the present call";
  page = toolkit->widgetForViewController(*navigation);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->parentWidget(), window);
  EXPECT_EQ(page->size(), window->size()) << "it covers the whole window";
  EXPECT_GT(page->y(), 0) << "it starts below and slides up";
  EXPECT_FALSE(appContent->isHidden()) << "the app's content stays, underneath";

  ASSERT_TRUE(spinUntil([&] {
    heights.push_back(page->y());
    return completions == 1;
  }));
  EXPECT_EQ(positionAtCompletion, QPoint(0, 0)) << "the slide had ended";
  EXPECT_TRUE(std::any_of(heights.begin(), heights.end(), [&](int y) { return y > 0 && y < window->height(); }))
      << "seen part-way";
  EXPECT_GE(elapsed, 100ms);
  spinFor(300ms);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(navigation->presentingViewController(), screen);
  EXPECT_EQ(pagesOnWindow().size(), 1);
}

TEST_F(QtPresentation, TheSlidesTimeRunsFromThePresentCallSoLoadingTheViewDoesNotLengthenIt) {
  auto options = testOptions();
  options.transitionDuration = 1s;
  makeToolkit(options);
  for (const auto loading : {400ms, 700ms}) {
    SCOPED_TRACE(testing::Message() << "the view loads in " << loading.count() << " ms");
    auto navigation = UINavigationController::initWithRootViewController(std::make_shared<SlowScreen>(loading));
    bool presented = false;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration elapsed{};
    screen->presentViewController(navigation, true, [&] {
      presented = true;
      elapsed = std::chrono::steady_clock::now() - start;
    });
    QWidget* page = toolkit->widgetForViewController(*navigation);
    ASSERT_NE(page, nullptr);
    EXPECT_GT(page->y(), 0) << "however long the loading, a slide is seen";
    ASSERT_TRUE(spinUntil([&] { return presented; }));
    // 1 s from the present call, or half of that once the view is there if that is later.
    const auto end = std::max<std::chrono::milliseconds>(1000ms, loading + 500ms);
    EXPECT_GE(elapsed, end);
    EXPECT_LT(elapsed, end + 250ms) << "not the whole slide after the view had loaded";
    EXPECT_EQ(page->pos(), QPoint(0, 0));

    bool dismissed = false;
    screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  }
}

TEST_F(QtPresentation, DismissalSlidesThePageDownRemovesItAndThenCompletesOnce) {
  auto content = std::make_shared<UIViewController>();
  std::weak_ptr<UIViewController> weakContent = content;
  auto navigation = presentNavigation(content);
  content.reset();
  QPointer<QWidget> page = toolkit->widgetForViewController(*navigation);
  ASSERT_TRUE(page);

  int completions = 0;
  bool pageGoneAtCompletion = false;
  navigation->dismissViewControllerAnimated(true, [&] {
    ++completions;
    pageGoneAtCompletion = page.isNull();
  });
  EXPECT_EQ(completions, 0);
  ASSERT_TRUE(spinUntil([&] { return completions == 1; }));
  EXPECT_TRUE(pageGoneAtCompletion) << "the page goes before the completion runs";
  EXPECT_TRUE(pagesOnWindow().isEmpty());
  EXPECT_TRUE(appContent->isVisible()) << "the app's content is back";
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  navigation.reset();
  spinFor(50ms);
  EXPECT_TRUE(weakContent.expired()) << "nothing holds the dismissed screens";
}

TEST_F(QtPresentation, CompletingAtStartTheCompletionRunsAsTheSlideBeginsAndTheFocusMovesInAtItsEnd) {
  auto options = testOptions();
  options.transitionDuration = 400ms;
  options.presentationCompletesAtStart = true;
  makeToolkit(options);
  auto content = std::make_shared<UIViewController>();
  auto webView = WKWebView::initWithFrame(content->view()->bounds(), std::make_shared<WKWebViewConfiguration>());
  content->view()->addSubview(webView);
  webView->loadHTMLString("<p>The gateway's page</p>", std::nullopt);
  auto navigation = UINavigationController::initWithRootViewController(content);
  int completions = 0;
  QPoint positionAtCompletion(-1, -1);
  QWidget* page = nullptr;
  screen->presentViewController(navigation, true, [&] {
    ++completions;
    positionAtCompletion = page->pos();
  });
  EXPECT_EQ(completions, 0) << "never inside the present call";
  page = toolkit->widgetForViewController(*navigation);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(spinUntil([&] { return completions == 1; }));
  EXPECT_GT(positionAtCompletion.y(), 0) << "the slide was still under way";
  auto* web = page->findChild<QWebEngineView*>();
  ASSERT_NE(web, nullptr);
  const auto focusOnPage = [&] {
    QWidget* focus = window->focusWidget();
    return focus && (focus == web || web->isAncestorOf(focus));
  };
  EXPECT_FALSE(focusOnPage());
  ASSERT_TRUE(spinUntil([&] { return page->pos() == QPoint(0, 0) && focusOnPage(); }));
  spinFor(200ms);
  EXPECT_EQ(completions, 1);
}

TEST_F(QtPresentation, ADismissalDuringTheSlideTurnsItBackFromWhereItIsAndLetsEverythingGo) {
  for (const bool atStart : {false, true}) {
    SCOPED_TRACE(atStart ? "completes at start" : "completes at the end");
    auto options = testOptions();
    options.transitionDuration = 600ms;
    options.presentationCompletesAtStart = atStart;
    makeToolkit(options);
    auto content = std::make_shared<UIViewController>();
    std::weak_ptr<UIViewController> weakContent = content;
    auto navigation = UINavigationController::initWithRootViewController(std::move(content));
    int presented = 0;
    screen->presentViewController(navigation, true, [&] { ++presented; });
    QPointer<QWidget> page = toolkit->widgetForViewController(*navigation);
    ASSERT_TRUE(page);
    ASSERT_TRUE(spinUntil([&] { return page->y() < window->height() * 3 / 4; }));

    int dismissed = 0;
    const int turnedAt = page->y();
    std::vector<int> heights;
    screen->dismissViewControllerAnimated(true, [&] { ++dismissed; });
    ASSERT_TRUE(spinUntil([&] {
      if (page) heights.push_back(page->y());
      return dismissed == 1;
    }));
    EXPECT_FALSE(heights.empty());
    EXPECT_TRUE(std::is_sorted(heights.begin(), heights.end())) << "only ever down, from " << turnedAt;
    EXPECT_GE(heights.front(), turnedAt) << "from where it was, not from the top";
    EXPECT_TRUE(page.isNull());
    EXPECT_TRUE(pagesOnWindow().isEmpty());
    spinFor(100ms);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    navigation.reset();
    spinFor(50ms);
    EXPECT_TRUE(weakContent.expired());
  }
}

TEST_F(QtPresentation, ThePageFollowsTheWindowsSizeAndTheToolkitsEndTakesItAway) {
  auto navigation = presentNavigation(std::make_shared<UIViewController>());
  QPointer<QWidget> page = toolkit->widgetForViewController(*navigation);
  ASSERT_TRUE(page);
  window->resize(600, 700);
  spinFor(50ms);
  EXPECT_EQ(page->geometry(), QRect(0, 0, 600, 700));
  EXPECT_EQ(toolkit->rootViewControllerForWindow(window), screen) << "one root controller per window";
  toolkit.reset();
  spinFor(50ms);
  EXPECT_TRUE(page.isNull());
  EXPECT_TRUE(pagesOnWindow().isEmpty());
}

TEST_F(QtPresentation, AWindowDestroyedUnderACheckoutTakesThePresentationAwayAndLetsItGo) {
  auto content = std::make_shared<UIViewController>();
  auto webView = WKWebView::initWithFrame(content->view()->bounds(), std::make_shared<WKWebViewConfiguration>());
  content->view()->addSubview(webView);
  std::weak_ptr<UIViewController> weakContent = content;
  auto navigation = presentNavigation(content);
  content.reset();
  ASSERT_NE(toolkit->widgetForView(*webView), nullptr);
  std::weak_ptr<UINavigationController> weakNavigation = navigation;
  navigation.reset();

  delete window;
  window = nullptr;
  spinFor(100ms);
  EXPECT_TRUE(weakNavigation.expired());
  EXPECT_TRUE(weakContent.expired());
  EXPECT_EQ(toolkit->widgetForView(*webView), nullptr);
  webView->loadHTMLString("<p>still safe</p>", std::nullopt);  // whatever is left of its engine
  spinFor(100ms);
}

TEST_F(QtPresentation, TheBarCentresItsTitleFollowsTheModelAndAClickSendsTheButtonsAction) {
  auto content = std::make_shared<CountingScreen>();
  content->setTitle("First");
  auto navigation = presentNavigation(content);
  QWidget* bar = toolkit->widgetForView(*navigation->navigationBar());
  ASSERT_NE(bar, nullptr);
  auto* title = bar->findChild<QLabel*>("velquor-bar-title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "First");
  EXPECT_EQ(bar->findChild<QPushButton*>("velquor-bar-button"), nullptr);
  EXPECT_EQ(bar->height(), 44);

  content->setTitle("Second");
  EXPECT_EQ(title->text(), "Second");
  navigation->navigationBar()->setTitleTextAttributes({{NSForegroundColorAttributeName, UIColor::systemRedColor()}});
  EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(255, 59, 48));
  navigation->navigationBar()->setBackgroundColor(UIColor::blackColor());
  EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(Qt::black)) << "no bar tint: the background colour fills the bar";
  navigation->navigationBar()->setBarTintColor(UIColor::whiteColor());
  EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(Qt::white)) << "the bar tint wins";

  auto item = UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, content, "cancel");
  content->navigationItem()->setLeftBarButtonItems({item});
  auto* button = bar->findChild<QPushButton*>("velquor-bar-button");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "Cancel");
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(0, 122, 255)) << "untinted: the system blue";
  navigation->navigationBar()->setTintColor(UIColor::whiteColor());
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(Qt::white)) << "the bar's tint colours its items";
  item->setTintColor(UIColor::blackColor());
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(Qt::black)) << "an item's own tint wins";

  spinFor(50ms);
  const int titleCentre = title->mapTo(bar, title->rect().center()).x();
  EXPECT_NEAR(titleCentre, bar->width() / 2, 2) << "centred on the whole bar";
  EXPECT_LT(button->mapTo(bar, QPoint(0, 0)).x(), bar->width() / 4) << "Cancel on the left";

  button->click();
  EXPECT_EQ(content->cancels, 1);
  content->navigationItem()->setLeftBarButtonItems({});
  spinFor(10ms);
  EXPECT_EQ(bar->findChild<QPushButton*>("velquor-bar-button"), nullptr);
}

TEST_F(QtPresentation, TheSpinnerIsCentredOverTheRootViewAndShownExactlyWhileItAnimates) {
  auto content = std::make_shared<UIViewController>();
  auto root = content->view();
  auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  spinner->setCenter(root->center());
  root->addSubview(spinner);
  auto navigation = presentNavigation(content);
  QWidget* rootWidget = toolkit->widgetForView(*root);
  QWidget* spinnerWidget = toolkit->widgetForView(*spinner);
  ASSERT_NE(rootWidget, nullptr);
  ASSERT_NE(spinnerWidget, nullptr);
  EXPECT_EQ(spinnerWidget->parentWidget(), rootWidget);
  EXPECT_FALSE(spinnerWidget->isVisible()) << "stopped: hidden";

  spinner->startAnimating();
  spinFor(20ms);
  EXPECT_TRUE(spinnerWidget->isVisible());
  EXPECT_NEAR(spinnerWidget->geometry().center().x(), rootWidget->rect().center().x(), 1);
  EXPECT_NEAR(spinnerWidget->geometry().center().y(), rootWidget->rect().center().y(), 1);
  window->resize(520, 700);
  spinFor(50ms);
  EXPECT_NEAR(spinnerWidget->geometry().center().x(), rootWidget->rect().center().x(), 1) << "stays centred";
  spinner->setColor(UIColor::systemRedColor());

  spinner->stopAnimating();
  EXPECT_FALSE(spinnerWidget->isVisible());
}

// Every widget shown as a window of its own while it watches.
class WindowsShown final : public QObject {
 public:
  WindowsShown() { qApp->installEventFilter(this); }
  ~WindowsShown() override { qApp->removeEventFilter(this); }
  QStringList names;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && widget && widget->isWindow()) {
      names << QString::fromLatin1(widget->metaObject()->className()) + ' ' + widget->objectName();
    }
    return false;
  }
};

TEST_F(QtPresentation, TheScreensWidgetsAreMadeInsideTheWindowNoneOpensAsAWindowOfItsOwn) {
  auto content = std::make_shared<UIViewController>();
  auto root = content->view();
  auto webView = WKWebView::initWithFrame(root->bounds(), std::make_shared<WKWebViewConfiguration>());
  root->addSubview(webView);
  auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  spinner->startAnimating();
  root->addSubview(spinner);
  auto hidden = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
  hidden->setHidden(true);
  root->addSubview(hidden);

  std::shared_ptr<UINavigationController> navigation;
  {
    WindowsShown shown;
    navigation = presentNavigation(content);
    spinFor(20ms);
    EXPECT_TRUE(shown.names.isEmpty()) << shown.names.join(", ").toStdString();
  }
  // Each shows with the page, or stays hidden, as its view says.
  for (const auto& [view, visible] : std::vector<std::pair<std::shared_ptr<UIView>, bool>>{
           {root, true}, {webView, true}, {spinner, true}, {hidden, false}}) {
    QWidget* widget = toolkit->widgetForView(*view);
    ASSERT_NE(widget, nullptr);
    EXPECT_FALSE(widget->isWindow());
    EXPECT_EQ(widget->isVisible(), visible);
  }
  QWidget* bar = toolkit->widgetForView(*navigation->navigationBar());
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  navigation->navigationBar()->setHidden(true);
  EXPECT_FALSE(bar->isVisible());
  navigation->navigationBar()->setHidden(false);
  EXPECT_TRUE(bar->isVisible());
}

class QtAlert : public QtPresentation {
 protected:
  void SetUp() override {
    QtPresentation::SetUp();
    content = std::make_shared<UIViewController>();
    navigation = presentNavigation(content);
  }
  QMessageBox* show(const std::shared_ptr<UIAlertController>& alert) {
    int presented = 0;
    content->presentViewController(alert, true, [&] { ++presented; });
    EXPECT_EQ(presented, 0);
    EXPECT_TRUE(spinUntil([&] { return presented == 1; }));
    return qobject_cast<QMessageBox*>(toolkit->widgetForViewController(*alert));
  }
  std::shared_ptr<UIViewController> content;
  std::shared_ptr<UINavigationController> navigation;
};

TEST_F(QtAlert, IsAWindowModalMessageBoxWithItsButtonsInTheOrderAddedAndTheDestructiveOneRed) {
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Do you want to cancel this payment?",
                                                           UIAlertControllerStyle::Alert);
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, nullptr));
  alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default, nullptr));
  alert->addAction(UIAlertAction::actionWithTitle("Later", UIAlertActionStyle::Default, nullptr));
  QMessageBox* box = show(alert);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_EQ(box->parentWidget(), window);
  EXPECT_EQ(box->text(), "Do you want to cancel this payment?");
  const auto buttons = box->buttons();
  ASSERT_EQ(buttons.size(), 3);
  std::vector<std::pair<int, QString>> placed;
  for (auto* button : buttons) placed.emplace_back(button->mapTo(box, QPoint(0, 0)).x(), button->text());
  std::sort(placed.begin(), placed.end());
  EXPECT_EQ(placed[0].second, "No");
  EXPECT_EQ(placed[1].second, "Yes");
  EXPECT_EQ(placed[2].second, "Later") << "left to right in the order added";
  for (auto* button : buttons) {
    const bool red = button->palette().color(QPalette::ButtonText) == QColor(255, 59, 48);
    EXPECT_EQ(red, button->text() == "No") << button->text().toStdString();
  }
}

TEST_F(QtAlert, AClickClosesTheBoxAndRunsThatButtonsHandlerOnce) {
  auto alert = UIAlertController::alertControllerWithTitle("Cancel", "Sure?", UIAlertControllerStyle::Alert);
  int no = 0;
  int yes = 0;
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, [&](const auto&) { ++no; }));
  alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default, [&](const auto&) { ++yes; }));
  QPointer<QMessageBox> box = show(alert);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->informativeText(), "Sure?");
  QAbstractButton* yesButton = nullptr;
  for (auto* button : box->buttons()) {
    if (button->text() == "Yes") yesButton = button;
  }
  ASSERT_NE(yesButton, nullptr);
  yesButton->click();
  ASSERT_TRUE(spinUntil([&] { return box.isNull(); }));
  EXPECT_EQ(yes, 1);
  EXPECT_EQ(no, 0);
  EXPECT_EQ(content->presentedViewController(), nullptr);
}

TEST_F(QtAlert, EscapeTapsOnlyACancelStyleAction) {
  auto plain = UIAlertController::alertControllerWithTitle(std::nullopt, "Plain", UIAlertControllerStyle::Alert);
  int taps = 0;
  plain->addAction(UIAlertAction::actionWithTitle("OK", UIAlertActionStyle::Default, [&](const auto&) { ++taps; }));
  QPointer<QMessageBox> box = show(plain);
  ASSERT_TRUE(box);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(box, &escape);
  box->close();
  spinFor(50ms);
  EXPECT_TRUE(box && box->isVisible()) << "no cancel-style action: it stays";
  EXPECT_EQ(taps, 0);
  plain->tapAction(plain->actions()[0]);
  ASSERT_TRUE(spinUntil([&] { return box.isNull(); }));

  auto cancellable = UIAlertController::alertControllerWithTitle(std::nullopt, "Cancellable", UIAlertControllerStyle::Alert);
  int cancels = 0;
  cancellable->addAction(UIAlertAction::actionWithTitle("OK", UIAlertActionStyle::Default, nullptr));
  cancellable->addAction(UIAlertAction::actionWithTitle("Back", UIAlertActionStyle::Cancel, [&](const auto&) { ++cancels; }));
  box = show(cancellable);
  ASSERT_TRUE(box);
  QApplication::sendEvent(box, &escape);
  ASSERT_TRUE(spinUntil([&] { return box.isNull(); }));
  EXPECT_EQ(cancels, 1);
}

TEST(QtToolkitCreation, NeedsAQApplicationFirst) {
  if (QCoreApplication::instance()) GTEST_SKIP() << "an earlier test in this process made the application";
  EXPECT_THROW(velquor::qt::QtToolkit toolkit, std::logic_error);
}

}  // namespace
