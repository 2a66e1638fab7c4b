// Cancel in the bar, the question, and its two answers, over the gateway's page.

#include "CheckoutEndToEnd.h"

#include <velquor/platform/UIAlertController.h>

namespace e2e {
namespace {

using gtk_test::spinFor;
using gtk_test::spinUntil;

class Cancel : public CheckoutEndToEnd {
 protected:
  // The dialog's response numbers are the buttons' places: "No" was added first, "Yes" second.
  static constexpr int kNo = 0;
  static constexpr int kYes = 1;

  // Taps Cancel, checks the question, and answers it.
  void tapCancelAndAnswer(int response) {
    GtkWidget* cancel = cancelButton();
    ASSERT_NE(cancel, nullptr);
    g_signal_emit_by_name(cancel, "clicked");
    std::shared_ptr<velquor::platform::UIAlertController> alert;
    ASSERT_TRUE(spinUntil([&] {
      alert = std::dynamic_pointer_cast<velquor::platform::UIAlertController>(navigation()->presentedViewController());
      return alert && toolkit->widgetForViewController(*alert) && gtk_test::visibleMessageDialogs().size() == 1;
    }));
    GtkWidget* dialog = toolkit->widgetForViewController(*alert);
    char* text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    EXPECT_STREQ(text, "Do you want to cancel this payment?");
    g_free(text);
    GtkWidget* no = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), kNo);
    GtkWidget* yes = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), kYes);
    ASSERT_TRUE(no && yes);
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(no)), "No");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(yes)), "Yes");
    EXPECT_TRUE(gtk_widget_has_css_class(no, "destructive-action"));
    g_signal_emit_by_name(response == kNo ? no : yes, "clicked");
    EXPECT_TRUE(spinUntil([&] { return !navigation()->presentedViewController() && gtk_test::visibleMessageDialogs().empty(); }));
  }

  bool gatewayPageStillShown() const {
    return gtk_stack_get_visible_child(windowStack()) == toolkit->widgetForViewController(*navigation()) &&
           gtk_test::evaluateJSON(engine(), "document.getElementById('order_id').textContent") == "\"ORD-2001\"";
  }
};

TEST_P(Cancel, NoLeavesTheGatewayPageShownAndTellsTheDelegateNothing) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kNo);
  EXPECT_TRUE(callsAfter(500ms).empty());
  EXPECT_TRUE(gatewayPageStillShown());
  EXPECT_FALSE(spinner()->isAnimating());
  EXPECT_EQ(gateway->requestCount(), 1u) << "the page was not reloaded";

  // The payment goes on: the customer can still pay.
  clickInPage(kPayButton);
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() == 1; }));
  EXPECT_EQ(checkout->calls[0].kind, DelegateCall::Kind::completed);
}

TEST_P(Cancel, YesTellsTheDelegateExactlyOnceAndLeavesTheDismissalToTheApp) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(500ms);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, DelegateCall::Kind::canceled);
  EXPECT_EQ(calls[0].controller.lock(), controller());
  EXPECT_TRUE(gatewayPageStillShown()) << "the app decides when the checkout goes";
}

TEST_P(Cancel, EachConfirmedCancelIsOneCallAndAnAppDismissalFromItEndsTheCheckout) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  tapCancelAndAnswer(kYes);
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() >= 2; }));
  ASSERT_EQ(callsAfter(300ms).size(), 2u);

  // As an app does: dismiss from the delegate call.
  bool dismissed = false;
  checkout->onCall = [&](const DelegateCall& call) {
    if (auto controller = call.controller.lock()) controller->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  };
  tapCancelAndAnswer(kYes);
  ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  EXPECT_EQ(screen->presentedViewController(), nullptr);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent) << "the app's own content is back";
  EXPECT_EQ(checkout->calls.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, Cancel, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
