// What the Qt toolkit tells assistive technologies, read in process through Qt's accessibility
// interfaces (the AT-SPI bus itself is read in tests/a11y).

#include "QtTestSupport.h"

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebView.h>

#include <QAccessible>

using namespace velquor::platform;
using namespace qt_test;

namespace {

// The first interface under `root` (itself included) that `matches`, depth first.
QAccessibleInterface* findInterface(QAccessibleInterface* root, const std::function<bool(QAccessibleInterface*)>& matches,
                                    int depth = 0) {
  if (!root || depth > 64) return nullptr;
  if (matches(root)) return root;
  for (int index = 0; index < root->childCount(); ++index) {
    if (auto* found = findInterface(root->child(index), matches, depth + 1)) return found;
  }
  return nullptr;
}

class QtAccessibility : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
  }
  void TearDown() override {
    QAccessible::setActive(false);
    navigation.reset();
    QtWindowTest::TearDown();
  }
  void present(const std::shared_ptr<UIViewController>& content) {
    navigation = UINavigationController::initWithRootViewController(content);
    bool presented = false;
    screen->presentViewController(navigation, false, [&] { presented = true; });
    ASSERT_TRUE(spinUntil([&] { return presented; }));
  }
  QAccessibleInterface* pageInterface() const {
    return QAccessible::queryAccessibleInterface(toolkit->widgetForViewController(*navigation));
  }
  std::shared_ptr<UINavigationController> navigation;
};

TEST_F(QtAccessibility, TheCheckoutIsASectionNamedByTheBarsTitleAsItIsNowAndLabelledByIt) {
  auto content = std::make_shared<UIViewController>();
  content->setTitle("Velquor");
  present(content);
  QAccessibleInterface* page = pageInterface();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->role(), QAccessible::Section);
  EXPECT_EQ(page->text(QAccessible::Name), "Velquor");
  content->setTitle("Paying");
  EXPECT_EQ(page->text(QAccessible::Name), "Paying");
  const auto labels = page->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels.front().first->text(QAccessible::Name), "Paying");
}

TEST_F(QtAccessibility, TheSpinnerIsABusyProgressBarWhileItTurnsAndOutOfTheTreeWhileHidden) {
  auto content = std::make_shared<UIViewController>();
  auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  content->view()->addSubview(spinner);
  present(content);
  auto isProgressBar = [](QAccessibleInterface* each) { return each->role() == QAccessible::ProgressBar; };
  EXPECT_EQ(findInterface(pageInterface(), isProgressBar), nullptr) << "stopped, hidden: not in the tree";

  spinner->startAnimating();
  QAccessibleInterface* bar = findInterface(pageInterface(), isProgressBar);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->state().busy);
  EXPECT_EQ(bar->parent()->indexOfChild(bar), 0);

  spinner->setHidesWhenStopped(false);
  spinner->stopAnimating();
  bar = findInterface(pageInterface(), isProgressBar);
  ASSERT_NE(bar, nullptr) << "stopped but shown";
  EXPECT_FALSE(bar->state().busy);
  spinner->setHidden(true);
  EXPECT_EQ(findInterface(pageInterface(), isProgressBar), nullptr);
}

TEST_F(QtAccessibility, TheWebPagesOwnTreeIsBuiltOnlyOnceAnAssistiveTechnologyIsActive) {
  ASSERT_FALSE(QAccessible::isActive()) << "this suite runs with no accessibility bus";
  auto content = std::make_shared<UIViewController>();
  auto webView = WKWebView::initWithFrame(content->view()->bounds(), std::make_shared<WKWebViewConfiguration>());
  content->view()->addSubview(webView);
  webView->loadHTMLString("<button>Pay</button><script>window.ready = true</script>", std::nullopt);
  QWebEngineView* engine = velquor::qt::QtToolkit::webEngineView(*webView);
  ASSERT_TRUE(spinUntil([&] { return evaluateJSON(engine->page(), "window.ready === true") == "true"; }));
  present(content);
  auto isPay = [](QAccessibleInterface* each) {
    return each->role() == QAccessible::Button && each->text(QAccessible::Name) == "Pay";
  };
  spinFor(300ms);
  EXPECT_EQ(findInterface(QAccessible::queryAccessibleInterface(engine), isPay), nullptr) << "no page tree";

  // What Qt's AT-SPI bridge does when a screen reader announces itself.
  QAccessible::setActive(true);
  EXPECT_TRUE(spinUntil([&] { return findInterface(QAccessible::queryAccessibleInterface(engine), isPay) != nullptr; }, 10s));
}

}  // namespace
