// The checkout by keyboard on the Qt toolkit: where the keys are after the presentation, Escape on
// the checkout and in the alert, and the keys' way back once the alert is gone.

#include "QtTestSupport.h"

#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebView.h>

#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace velquor::platform;
using namespace qt_test;

namespace {

// Asks before cancelling, as the checkout does: Cancel in its bar presents "No" / "Yes".
struct AskingScreen : UIViewController {
  int cancels = 0;
  int yes = 0;
  bool asks = false;
  bool performSelector(std::string_view selector) override {
    if (selector != "cancel") return false;
    ++cancels;
    if (asks) {
      auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Do you want to cancel this payment?",
                                                               UIAlertControllerStyle::Alert);
      alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, nullptr));
      alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default, [this](const auto&) { ++yes; }));
      presentViewController(alert, true, nullptr);
    }
    return true;
  }
};

// Keys as the window system delivers them to the widget with the focus: shortcuts first, with the
// text X gives them.
void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  ASSERT_NE(target, nullptr) << "nothing has the keys";
  QTest::keyClick(target, key, modifiers);
}

class QtKeyboard : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
    // What a window manager does for a new window.
    window->activateWindow();
    ASSERT_TRUE(spinUntil([&] { return window->isActiveWindow(); })) << "the window never got the keys";
  }
  void TearDown() override {
    navigation.reset();
    webView.reset();
    QtWindowTest::TearDown();
  }

  // The checkout's layout: a web view filling the screen's root view, Cancel on the left of the
  // bar (when `cancellable`), presented over the window once `html` has loaded.
  void presentCheckout(const std::string& html, bool cancellable = true) {
    content = std::make_shared<AskingScreen>();
    content->setTitle("Velquor");
    if (cancellable) {
      content->navigationItem()->setLeftBarButtonItems(
          {UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, content, "cancel")});
    }
    webView = WKWebView::initWithFrame(content->view()->bounds(), std::make_shared<WKWebViewConfiguration>());
    content->view()->addSubview(webView);
    webView->loadHTMLString(html + "<script>window.ready = true</script>", std::nullopt);
    engine = velquor::qt::QtToolkit::webEngineView(*webView);
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(spinUntil([&] { return evaluateJSON(engine->page(), "window.ready === true") == "true"; }));
    navigation = UINavigationController::initWithRootViewController(content);
    bool presented = false;
    screen->presentViewController(navigation, true, [&] { presented = true; });
    ASSERT_TRUE(spinUntil([&] { return presented; }));
    // A web view that has loaded before it is moved into the window must not take the keys from it.
    ASSERT_TRUE(window->isActiveWindow()) << "the app's window lost the keys to the presentation";
  }
  QPushButton* cancelButton() const {
    QWidget* bar = toolkit->widgetForView(*navigation->navigationBar());
    return bar ? bar->findChild<QPushButton*>("velquor-bar-button") : nullptr;
  }

  std::shared_ptr<AskingScreen> content;
  std::shared_ptr<WKWebView> webView;
  std::shared_ptr<UINavigationController> navigation;
  QWebEngineView* engine = nullptr;
};

TEST_F(QtKeyboard, ThePresentationEndsWithTheKeysInTheWebContentAndShiftTabReachesCancel) {
  presentCheckout("<p>The gateway's page</p>");
  EXPECT_TRUE(engine->hasFocus()) << "focus is on "
                                  << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
  QPushButton* cancel = cancelButton();
  ASSERT_NE(cancel, nullptr);
  EXPECT_TRUE(cancel->focusPolicy() & Qt::TabFocus);
  // Nothing in the page takes the keys: the engine hands the focus back, to what comes before it.
  press(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(spinUntil([&] { return cancel->hasFocus(); }, 10s));
  EXPECT_EQ(content->cancels, 0);
}

TEST_F(QtKeyboard, EscapeInTheWebContentOrOnCancelIsATapOnCancelAndTheWebPageNeverSeesIt) {
  presentCheckout(
      "<button>Pay</button><script>window.keys = []; document.addEventListener('keydown', e => {"
      " window.keys.push(e.key); })</script>");
  ASSERT_TRUE(engine->hasFocus());
  press(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(content->cancels, 1);
  // Keys reach the page in order: once the next one is there, Escape would have been too.
  press(QApplication::focusWidget(), Qt::Key_A);
  EXPECT_TRUE(spinUntil([&] { return evaluateJSON(engine->page(), "window.keys") == R"(["a"])"; }, 10s))
      << evaluateJSON(engine->page(), "window.keys").value_or("?");

  cancelButton()->setFocus(Qt::TabFocusReason);
  press(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(content->cancels, 2);
}

TEST_F(QtKeyboard, TheAlertTakesTheKeysOnNoTabAndArrowsMoveEscapeChoosesNothingAndTheKeysComeBack) {
  presentCheckout("<button>Pay</button>");
  content->asks = true;
  QPushButton* cancel = cancelButton();
  cancel->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(cancel->hasFocus());
  press(cancel, Qt::Key_Escape);
  ASSERT_TRUE(spinUntil([&] { return navigation->presentedViewController() != nullptr; }));
  auto alert = navigation->presentedViewController();
  QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(toolkit->widgetForViewController(*alert));
  ASSERT_TRUE(box);
  ASSERT_TRUE(spinUntil([&] { return box->isActiveWindow(); })) << "the alert never got the keys";
  auto focusedText = [] {
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    return button ? button->text() : QString("(no button)");
  };
  EXPECT_EQ(focusedText(), "No") << "the first button, the safe one";
  EXPECT_EQ(box->accessibleDescription(), "Do you want to cancel this payment?");

  press(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(focusedText(), "Yes");
  press(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(focusedText(), "No");
  press(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(focusedText(), "Yes");
  press(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focusedText(), "No");

  // No Cancel-style action: Escape picks nothing and the alert stays.
  press(QApplication::focusWidget(), Qt::Key_Escape);
  spinFor(100ms);
  ASSERT_TRUE(box && box->isVisible());
  EXPECT_EQ(navigation->presentedViewController(), alert);

  press(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_TRUE(spinUntil([&] { return box.isNull(); }));
  EXPECT_EQ(content->yes, 0);
  EXPECT_EQ(navigation->presentedViewController(), nullptr);
  EXPECT_TRUE(spinUntil([&] { return window->isActiveWindow() && cancel->hasFocus(); }))
      << "the keys went to " << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
}

}  // namespace
