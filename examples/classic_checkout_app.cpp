// A small GTK 4 app that takes a payment with VelquorClassic. "Pay" presents the checkout over the
// window; when the delegate hears the answer, the app dismisses the checkout and shows the result.
//
//   classic_checkout_app [ENDPOINT]     ENDPOINT: e.g. `velquor sandbox`'s address; default: kPaymentURL
//
// VELQUOR_EXAMPLE_AUTOPAY=1 presses Pay at start, prints the result and quits (for smoke tests).

#include <VelquorClassic/VelquorClassic.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

using VelquorClassic::VelquorViewController;

struct App;
void showResult(App& app, const std::string& text);

// The checkout holds its delegate weakly: the app keeps it (App::paymentResult). A gateway page
// may post more than once: the first answer counts.
class PaymentResult : public VelquorClassic::VelquorDelegate {
 public:
  explicit PaymentResult(App& app) : app_(app) {}

  void didPaymentCompleted(const std::shared_ptr<VelquorViewController>& checkout,
                           const std::optional<nlohmann::json>& data) override {
    const auto status = data && data->is_object() ? data->value("status", "?") : std::string("?");
    const auto order = data && data->is_object() ? data->value("order_id", "") : std::string();
    finish(checkout, "Payment " + status + " for order " + order + "\n" + (data ? data->dump() : "null"));
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorViewController>& checkout) override {
    finish(checkout, "Payment canceled");
  }

 private:
  void finish(const std::shared_ptr<VelquorViewController>& checkout, std::string text) {
    if (std::exchange(answered_, true)) return;
    checkout->dismissViewControllerAnimated(true, [&app = app_, text = std::move(text)] { showResult(app, text); });
  }

  App& app_;
  bool answered_ = false;
};

struct App {
  std::optional<std::string> endpoint;  // none: the launcher without an endpoint, so kPaymentURL
  bool autoPay = false;
  std::shared_ptr<velquor::platform::UIViewController> screen;
  std::shared_ptr<PaymentResult> paymentResult;
  GtkWidget* window = nullptr;
  GtkWidget* payButton = nullptr;
  GtkWidget* result = nullptr;
};

std::shared_ptr<VelquorClassic::VelquorParams> sampleOrder() {
  auto params = std::make_shared<VelquorClassic::VelquorParams>();
  params->setValuesForKeysWithDictionary({
      {"api_key", "sandbox-api-key"}, {"order_id", "ORD-1001"}, {"hash", "hash-from-your-server"},
      {"mode", "TEST"}, {"amount", "249.00"}, {"currency", "INR"}, {"name", "Zoë O'Connor"},
      {"phone", "9876543210"}, {"email", "zoe@example.com"}, {"description", "2 notebooks"},
      {"address_line_1", "12 Lake View Road"}, {"city", "Bengaluru"}, {"state", "Karnataka"},
      {"zip_code", "560001"}, {"country", "IND"}, {"return_url", "https://merchant.example/return"}});
  params->setPayment_options("cc,dc,nb,upi");
  return params;
}

void showResult(App& app, const std::string& text) {
  gtk_label_set_text(GTK_LABEL(app.result), text.c_str());
  gtk_widget_set_sensitive(app.payButton, TRUE);
  if (app.autoPay) {
    std::cout << text << std::endl;
    gtk_window_destroy(GTK_WINDOW(app.window));
  }
}

void pay(GtkButton* button, gpointer data) {
  auto& app = *static_cast<App*>(data);
  gtk_widget_set_sensitive(GTK_WIDGET(button), FALSE);
  gtk_label_set_text(GTK_LABEL(app.result), "Paying…");
  app.paymentResult = std::make_shared<PaymentResult>(app);
  if (app.endpoint) {
    VelquorClassic::Velquor::presentVelquorContorller(app.screen, *app.endpoint, app.paymentResult, sampleOrder());
  } else {
    VelquorClassic::Velquor::presentVelquorContorller(app.screen, app.paymentResult, sampleOrder());
  }
}

}  // namespace

int main(int argc, char** argv) {
  App app;
  if (argc > 1) app.endpoint = argv[1];
  app.autoPay = std::getenv("VELQUOR_EXAMPLE_AUTOPAY") != nullptr;
  gtk_init();
  velquor::gtk::GtkToolkit toolkit;  // lives as long as checkouts may be shown

  app.window = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(app.window), "Notebook shop (VelquorClassic)");
  gtk_window_set_default_size(GTK_WINDOW(app.window), 420, 640);
  GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_widget_set_valign(content, GTK_ALIGN_CENTER);
  gtk_box_append(GTK_BOX(content), gtk_label_new("2 notebooks — 249.00 INR"));
  app.payButton = gtk_button_new_with_label("Pay");
  gtk_widget_set_halign(app.payButton, GTK_ALIGN_CENTER);
  g_signal_connect(app.payButton, "clicked", G_CALLBACK(pay), &app);
  gtk_box_append(GTK_BOX(content), app.payButton);
  app.result = gtk_label_new("");
  gtk_label_set_wrap(GTK_LABEL(app.result), TRUE);
  gtk_label_set_selectable(GTK_LABEL(app.result), TRUE);
  gtk_box_append(GTK_BOX(content), app.result);
  gtk_window_set_child(GTK_WINDOW(app.window), content);
  app.screen = toolkit.rootViewControllerForWindow(GTK_WINDOW(app.window));

  bool open = true;
  g_signal_connect(app.window, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer flag) { *static_cast<bool*>(flag) = false; }), &open);
  if (app.autoPay) {
    g_signal_connect(app.window, "map", G_CALLBACK(+[](GtkWidget*, gpointer button) { g_signal_emit_by_name(button, "clicked"); }),
                     app.payButton);
  }
  gtk_window_present(GTK_WINDOW(app.window));
  while (open) g_main_context_iteration(nullptr, TRUE);
  return 0;
}
