#include "GtkTestSupport.h"

#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UINavigationController.h>

using namespace velquor::platform;
using namespace gtk_test;

namespace {

class GtkAlert : public GtkWindowTest {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    makeToolkit();
    content = std::make_shared<UIViewController>();
    navigation = UINavigationController::initWithRootViewController(content);
    bool presented = false;
    screen->presentViewController(navigation, false, [&] { presented = true; });
    ASSERT_TRUE(spinUntil([&] { return presented; }));
  }

  // Presents an alert over the content and waits until it is on screen; returns its dialog.
  GtkWidget* show(const std::shared_ptr<UIAlertController>& alert) {
    int presented = 0;
    content->presentViewController(alert, true, [&] { ++presented; });
    EXPECT_EQ(presented, 0);
    EXPECT_TRUE(spinUntil([&] { return presented == 1; }));
    return toolkit->widgetForViewController(*alert);
  }

  static std::string buttonLabel(GtkWidget* button) {
    const char* label = button ? gtk_button_get_label(GTK_BUTTON(button)) : nullptr;
    return label ? label : "";
  }

  static std::string dialogText(GtkWidget* dialog) {
    char* text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    std::string result = text ? text : "";
    g_free(text);
    return result;
  }

  std::shared_ptr<UIViewController> content;
  std::shared_ptr<UINavigationController> navigation;
};

TEST_F(GtkAlert, IsAModalDialogOverTheWindowWithItsButtonsInTheOrderAddedAndTheDestructiveOneRed) {
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Do you want to cancel this payment?",
                                                           UIAlertControllerStyle::Alert);
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, nullptr));
  alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default, nullptr));
  GtkWidget* dialog = show(alert);

  ASSERT_TRUE(dialog && GTK_IS_MESSAGE_DIALOG(dialog));
  EXPECT_TRUE(gtk_widget_get_visible(dialog));
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), window);
  EXPECT_EQ(dialogText(dialog), "Do you want to cancel this payment?");
  GtkWidget* no = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0);
  GtkWidget* yes = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 1);
  EXPECT_EQ(buttonLabel(no), "No");
  EXPECT_EQ(buttonLabel(yes), "Yes");
  auto all = descendants(dialog);
  EXPECT_LT(std::find(all.begin(), all.end(), no), std::find(all.begin(), all.end(), yes)) << "buttons in the order added";
  EXPECT_TRUE(gtk_widget_has_css_class(no, "destructive-action"));
  EXPECT_FALSE(gtk_widget_has_css_class(yes, "destructive-action"));
}

TEST_F(GtkAlert, AClickClosesTheDialogAndRunsThatButtonsHandlerOnce) {
  int noTaps = 0;
  int yesTaps = 0;
  auto alert = UIAlertController::alertControllerWithTitle("Title", "Message", UIAlertControllerStyle::Alert);
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive,
                                                  [&](const std::shared_ptr<UIAlertAction>&) { ++noTaps; }));
  alert->addAction(UIAlertAction::actionWithTitle("Yes", UIAlertActionStyle::Default,
                                                  [&](const std::shared_ptr<UIAlertAction>&) { ++yesTaps; }));
  GtkWidget* dialog = show(alert);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialogText(dialog), "Title");

  GtkWidget* no = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0);
  g_signal_emit_by_name(no, "clicked");
  g_signal_emit_by_name(no, "clicked");  // a second click on the closing dialog counts for nothing
  EXPECT_EQ(noTaps, 0) << "the handler runs after the alert has closed";
  ASSERT_TRUE(spinUntil([&] { return noTaps == 1; }));
  EXPECT_TRUE(visibleMessageDialogs().empty());
  EXPECT_EQ(toolkit->widgetForViewController(*alert), nullptr);
  EXPECT_EQ(content->presentedViewController(), nullptr);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), toolkit->widgetForViewController(*navigation))
      << "the screen under the alert stays";
  spinFor(300ms);
  EXPECT_EQ(noTaps, 1);
  EXPECT_EQ(yesTaps, 0);
}

TEST_F(GtkAlert, ClosingTheDialogOtherwiseTapsOnlyACancelStyleAction) {
  int taps = 0;
  auto question = UIAlertController::alertControllerWithTitle(std::nullopt, "Sure?", UIAlertControllerStyle::Alert);
  question->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive,
                                                     [&](const std::shared_ptr<UIAlertAction>&) { ++taps; }));
  GtkWidget* dialog = show(question);
  ASSERT_NE(dialog, nullptr);
  gtk_window_close(GTK_WINDOW(dialog));
  spinFor(300ms);
  EXPECT_EQ(taps, 0);
  EXPECT_TRUE(gtk_widget_get_visible(dialog)) << "an alert closes only through its buttons";
  g_signal_emit_by_name(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0), "clicked");
  ASSERT_TRUE(spinUntil([&] { return taps == 1; }));

  int cancels = 0;
  auto withCancel = UIAlertController::alertControllerWithTitle(std::nullopt, "Sure?", UIAlertControllerStyle::Alert);
  withCancel->addAction(UIAlertAction::actionWithTitle("OK", UIAlertActionStyle::Default, nullptr));
  withCancel->addAction(UIAlertAction::actionWithTitle("Cancel", UIAlertActionStyle::Cancel,
                                                       [&](const std::shared_ptr<UIAlertAction>&) { ++cancels; }));
  dialog = show(withCancel);
  ASSERT_NE(dialog, nullptr);
  gtk_window_close(GTK_WINDOW(dialog));
  ASSERT_TRUE(spinUntil([&] { return cancels == 1; }));
  EXPECT_TRUE(spinUntil([] { return visibleMessageDialogs().empty(); }));
}

TEST_F(GtkAlert, DismissingTheScreenUnderAnOpenAlertTakesTheAlertAwayToo) {
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, "Sure?", UIAlertControllerStyle::Alert);
  alert->addAction(UIAlertAction::actionWithTitle("No", UIAlertActionStyle::Destructive, nullptr));
  ASSERT_NE(show(alert), nullptr);
  bool dismissed = false;
  screen->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  EXPECT_TRUE(visibleMessageDialogs().empty());
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent);
  EXPECT_EQ(screen->presentedViewController(), nullptr);
}

}  // namespace
