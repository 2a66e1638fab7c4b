// A small GTK 4 app that takes a payment with VelquorKit. "Pay" presents the checkout over the
// window; when the delegate hears the answer, the app dismisses the checkout and shows the result.
//
//   kit_checkout_app [ENDPOINT]     ENDPOINT: e.g. `velquor sandbox`'s address; default: the library's own
//
// VELQUOR_EXAMPLE_AUTOPAY=1 presses Pay at start, prints the result and quits (for smoke tests).

#include <VelquorKit/Velquor.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

using velquor::platform::UIViewController;

struct App {
  std::string endpoint;  // empty: the library's default endpoint
  bool autoPay = false;
  std::shared_ptr<UIViewController> screen;
  GtkWidget* window = nullptr;
  GtkWidget* payButton = nullptr;
  GtkWidget* result = nullptr;
};

VelquorKit::VelquorParams sampleOrder() {
  VelquorKit::VelquorParams params({.apiKey = "sandbox-api-key", .orderId = "ORD-1001", .hash = "hash-from-your-server",
                                    .mode = "TEST", .amount = "249.00", .name = "Zoë O'Connor", .phone = "9876543210",
                                    .email = "zoe@example.com", .returnURL = "https://merchant.example/return",
                                    .description = "2 notebooks", .currency = "INR", .country = "IND",
                                    .city = "Bengaluru", .state = "Karnataka", .addressLine1 = "12 Lake View Road",
                                    .addressLine2 = "", .udf1 = "", .udf2 = "", .udf3 = "", .udf4 = "", .udf5 = "",
                                    .zipCode = "560001"});
  params.payment_options = "cc,dc,nb,upi";
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

// The checkout holds its delegate strongly until it is dismissed, so this one holds nothing of
// the checkout. A gateway page may post more than once: the first answer counts.
class PaymentResult : public VelquorKit::VelquorDelegate {
 public:
  explicit PaymentResult(App& app) : app_(app) {}

  void didPaymentCompleted(const std::shared_ptr<UIViewController>& checkout,
                           const std::optional<nlohmann::json>& data) override {
    const auto status = data && data->is_object() ? data->value("status", "?") : std::string("?");
    const auto order = data && data->is_object() ? data->value("order_id", "") : std::string();
    finish(checkout, "Payment " + status + " for order " + order + "\n" + (data ? data->dump() : "null"));
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>& checkout) override {
    finish(checkout, "Payment canceled");
  }

 private:
  void finish(const std::shared_ptr<UIViewController>& checkout, std::string text) {
    if (std::exchange(answered_, true)) return;
    checkout->dismissViewControllerAnimated(true, [&app = app_, text = std::move(text)] { showResult(app, text); });
  }

  App& app_;
  bool answered_ = false;
};

void pay(GtkButton* button, gpointer data) {
  auto& app = *static_cast<App*>(data);
  gtk_widget_set_sensitive(GTK_WIDGET(button), FALSE);
  gtk_label_set_text(GTK_LABEL(app.result), "Paying…");
  VelquorKit::Velquor::presentVelquorContorller(app.screen, app.endpoint, sampleOrder(), std::make_shared<PaymentResult>(app));
}

}  // namespace

int main(int argc, char** argv) {
  App app;
  app.endpoint = argc > 1 ? argv[1] : "";
  app.autoPay = std::getenv("VELQUOR_EXAMPLE_AUTOPAY") != nullptr;
  gtk_init();
  velquor::gtk::GtkToolkit toolkit;  // lives as long as checkouts may be shown

  app.window = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(app.window), "Notebook shop (VelquorKit)");
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
