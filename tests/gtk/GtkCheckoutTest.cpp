#include "GtkKeys.h"
#include "GtkTestSupport.h"

#include <VelquorKit/Velquor.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UINavigationController.h>

#include <nlohmann/json.hpp>


using namespace velquor::platform;
using namespace gtk_test;
using nlohmann::json;

namespace {

constexpr const char* kGatewayPath = "/v2/paymentrequest";

struct PaymentDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::optional<json>> completed;
  int canceled = 0;
  // Holds nothing of the checkout: a test can tell whether the checkout let everything go.
  void didPaymentCompleted(const std::shared_ptr<UIViewController>&, const std::optional<json>& data) override {
    completed.push_back(data);
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override { ++canceled; }
};

// A gateway page that reports its result twice, with what it was posted.
std::string resultPage(const httplib::Request& request) {
  const json order = request.get_param_value("order_id");
  const json amount = request.get_param_value("amount");
  return "<html><body><p id='order'>payment page</p><img src='/pixel'><script>"
         "const post = (value) => window.webkit.messageHandlers.paymentResponseIos.postMessage(value);"
         "onload = () => {"
         "  post({status: 'success', order_id: " + order.dump() + ", amount: " + amount.dump() + ", seq: 1});"
         "  post({status: 'success', order_id: " + order.dump() + ", seq: 2});"
         "};</script></body></html>";
}

class GtkCheckout : public GtkWindowTest {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    gateway.routes().Post(kGatewayPath, [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(resultPage(request), "text/html");
    });
    gateway.routes().Get("/pixel", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("", "image/png");
    });
    gateway.start();
  }

  static VelquorKit::VelquorParams params() {
    VelquorKit::VelquorParams params;
    params.order_id = "order-42";
    params.amount = "100.00";
    params.currency = "INR";
    return params;
  }

  void launch(const std::string& url) { VelquorKit::Velquor::presentVelquorContorller(screen, url, params(), delegate); }

  std::shared_ptr<UINavigationController> navigation() const {
    return std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
  }
  std::shared_ptr<UIViewController> controller() const {
    auto nav = navigation();
    return nav ? nav->topViewController() : nullptr;
  }
  std::shared_ptr<WKWebView> webView() const { return std::dynamic_pointer_cast<WKWebView>(controller()->view()->subviews().at(0)); }
  WebKitWebView* engine() const { return velquor::gtk::GtkToolkit::webKitWebView(*webView()); }

  LoopbackServer gateway;

 public:  // for signal handlers
  bool slidingNow() const { return sliding(); }
  bool slideEnded = false;
  std::optional<bool> slideEndedAtFirstLoad;
  std::shared_ptr<PaymentDelegate> delegate = std::make_shared<PaymentDelegate>();
};

TEST_F(GtkCheckout, CoversTheWindowAndStartsThePaymentOnlyOnceTheSlideHasEnded) {
  makeToolkit();
  g_signal_connect(slideLayer(), "notify::sliding", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer self) {
                     auto* test = static_cast<GtkCheckout*>(self);
                     if (!test->slidingNow()) test->slideEnded = true;
                   }),
                   this);
  launch(gateway.url(kGatewayPath));
  ASSERT_NE(navigation(), nullptr);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), toolkit->widgetForViewController(*navigation()));
  EXPECT_TRUE(sliding());
  EXPECT_EQ(webkit_web_view_get_uri(engine()), nullptr) << "nothing loads before the presentation has completed";

  g_signal_connect(engine(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gpointer self) {
                     auto* test = static_cast<GtkCheckout*>(self);
                     if (!test->slideEndedAtFirstLoad) test->slideEndedAtFirstLoad = test->slideEnded;
                   }),
                   this);
  ASSERT_TRUE(spinUntil([&] { return gateway.requestCount(kGatewayPath) == 1; }));
  EXPECT_EQ(slideEndedAtFirstLoad, true);
}

TEST_F(GtkCheckout, TheBarShowsTheTitleInSystemBlueOnWhiteAndABlackCancelButton) {
  makeToolkit();
  launch(gateway.url(kGatewayPath));
  GtkWidget* bar = toolkit->widgetForView(*navigation()->navigationBar());
  ASSERT_NE(bar, nullptr);
  GtkWidget* title = findByName(bar, "velquor-bar-title");
  GtkWidget* cancel = findByName(bar, "velquor-bar-button");
  ASSERT_TRUE(title && cancel);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(title)), "Velquor");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(cancel)), "Cancel");
  EXPECT_EQ(gtk_center_box_get_center_widget(GTK_CENTER_BOX(bar)), title) << "the title is centred";

  GdkRGBA color;
  gtk_style_context_get_color(gtk_widget_get_style_context(title), &color);
  EXPECT_NEAR(color.red, 0, 0.01);
  EXPECT_NEAR(color.green, 122 / 255.0, 0.01);
  EXPECT_NEAR(color.blue, 1, 0.01);
  EXPECT_TRUE(gtk_widget_has_css_class(bar, "velquor-bg-ffffffff"));
  gtk_style_context_get_color(gtk_widget_get_style_context(cancel), &color);
  EXPECT_NEAR(color.red + color.green + color.blue, 0, 0.01) << "the Cancel button's own tint is black";
}

TEST_F(GtkCheckout, TheGatewayReceivesThePaymentPostWithTheWholeCheckoutUserAgent) {
  makeToolkit();
  launch(gateway.url(kGatewayPath));
  ASSERT_TRUE(spinUntil([&] { return gateway.requestCount("/pixel") == 1; }));
  const auto requests = gateway.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_NE(requests[0].body.find("order_id=order-42"), std::string::npos);
  for (const auto& request : requests) EXPECT_EQ(request.userAgent, "Velquor-iOS-SDK") << request.path;
}

TEST_F(GtkCheckout, EachResultMessageReachesTheDelegateOnceWithItsJSONBody) {
  makeToolkit();
  launch(gateway.url(kGatewayPath));
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 2; }));
  spinFor(1s);
  ASSERT_EQ(delegate->completed.size(), 2u);
  EXPECT_EQ(delegate->completed[0], json({{"status", "success"}, {"order_id", "order-42"}, {"amount", "100.00"}, {"seq", 1}}));
  EXPECT_EQ(delegate->completed[1], json({{"status", "success"}, {"order_id", "order-42"}, {"seq", 2}}));
  EXPECT_EQ(delegate->canceled, 0);
  EXPECT_NE(navigation(), nullptr) << "the checkout stays until the app dismisses it";
}

TEST_F(GtkCheckout, CancelAsksFirstThenNoKeepsThePageAndYesReportsOneCancel) {
  makeToolkit();
  launch(gateway.url(kGatewayPath));
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 2; }));
  GtkWidget* page = toolkit->widgetForViewController(*navigation());
  GtkWidget* cancel = findByName(toolkit->widgetForView(*navigation()->navigationBar()), "velquor-bar-button");
  ASSERT_NE(cancel, nullptr);

  auto askAndAnswer = [&](int response) {
    g_signal_emit_by_name(cancel, "clicked");
    std::shared_ptr<UIAlertController> alert;
    EXPECT_TRUE(spinUntil([&] {
      alert = std::dynamic_pointer_cast<UIAlertController>(navigation()->presentedViewController());
      return alert && toolkit->widgetForViewController(*alert) && !visibleMessageDialogs().empty();
    }));
    if (!alert) return;
    GtkWidget* dialog = toolkit->widgetForViewController(*alert);
    char* text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    EXPECT_STREQ(text, "Do you want to cancel this payment?");
    g_free(text);
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0))), "No");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 1))), "Yes");
    g_signal_emit_by_name(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response), "clicked");
    EXPECT_TRUE(spinUntil([&] { return !navigation()->presentedViewController() && visibleMessageDialogs().empty(); }));
  };

  askAndAnswer(0);  // "No"
  spinFor(300ms);
  EXPECT_EQ(delegate->canceled, 0);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), page) << "the checkout goes on";
  EXPECT_EQ(evaluateJSON(engine(), "document.getElementById('order').textContent"), "\"payment page\"");

  askAndAnswer(1);  // "Yes"
  ASSERT_TRUE(spinUntil([&] { return delegate->canceled == 1; }));
  spinFor(300ms);
  EXPECT_EQ(delegate->canceled, 1);
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), page) << "the app decides when the checkout goes";
}

// Keys through the X server, as a customer without a pointer presses them, on the loaded page.
class GtkCheckoutByKeyboard : public GtkCheckout {
 protected:
  void SetUp() override {
    GtkCheckout::SetUp();
    if (!canPressKeys()) GTEST_SKIP() << "keys go through an X server, by xdotool";
    makeToolkit();
    launch(gateway.url(kGatewayPath));
    ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 2; }));
  }

  // Escape in the window; the dialog of the alert it brought up, once that has the keyboard.
  GtkWindow* escapeToAlert() {
    EXPECT_TRUE(pressKeys(window, {"Escape"}));
    GtkWidget* dialog = nullptr;
    EXPECT_TRUE(spinUntil([&] {
      auto alert = std::dynamic_pointer_cast<UIAlertController>(navigation()->presentedViewController());
      dialog = alert ? toolkit->widgetForViewController(*alert) : nullptr;
      return dialog && gtk_window_is_active(GTK_WINDOW(dialog));
    })) << "no alert with the keyboard";
    return dialog ? GTK_WINDOW(dialog) : nullptr;
  }

  bool alertGone() const { return !navigation()->presentedViewController() && visibleMessageDialogs().empty(); }
};

TEST_F(GtkCheckoutByKeyboard, TheSlideEndsWithTheFocusInTheWebView) {
  EXPECT_EQ(gtk_root_get_focus(GTK_ROOT(window)), GTK_WIDGET(engine()));
  EXPECT_EQ(gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(toolkit->widgetForViewController(*navigation()))),
            GTK_ACCESSIBLE_ROLE_GROUP);
}

TEST_F(GtkCheckoutByKeyboard, EscapeInThePageAsksAsCancelDoesWithTheFocusOnNo) {
  GtkWindow* dialog = escapeToAlert();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(dialog)), GTK_ACCESSIBLE_ROLE_ALERT);
  EXPECT_EQ(gtk_root_get_focus(GTK_ROOT(dialog)), gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 0));
  // The alert has no Cancel-style action: Escape on it answers nothing.
  ASSERT_TRUE(pressKeys(nullptr, {"Escape"}));
  spinFor(300ms);
  EXPECT_FALSE(alertGone());
  EXPECT_EQ(delegate->canceled, 0);
}

TEST_F(GtkCheckoutByKeyboard, NoByKeyboardGivesTheFocusBackToThePageAndYesCancels) {
  GtkWindow* dialog = escapeToAlert();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(pressKeys(nullptr, {"Return"}));
  ASSERT_TRUE(spinUntil([&] { return alertGone() && gtk_window_is_active(window); }));
  EXPECT_EQ(gtk_root_get_focus(GTK_ROOT(window)), GTK_WIDGET(engine()));
  spinFor(300ms);
  EXPECT_EQ(delegate->canceled, 0);

  dialog = escapeToAlert();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(pressKeys(nullptr, {"Tab", "Return"}));
  ASSERT_TRUE(spinUntil([&] { return delegate->canceled == 1; }));
  EXPECT_TRUE(spinUntil([&] { return alertGone(); }));
}

}  // namespace
