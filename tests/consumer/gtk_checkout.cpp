// An app with VelquorKit on the GTK toolkit, built against an installed kit, run on a (virtual)
// display. It starts a checkout whose endpoint is on a port WebKit refuses to load: only the web
// process extension installed beside libVelquorGtk.so tells the toolkit of that refusal, so the
// failure delegate hearing of it shows that the extension was found. Exits non-zero otherwise.

#include <VelquorKit/Velquor.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace {

int fail(const std::string& what) {
  std::cerr << "gtk_checkout: " << what << std::endl;
  return 1;
}

class PaymentResult : public VelquorKit::VelquorDelegate, public VelquorKit::VelquorFailureDelegate {
 public:
  std::optional<velquor::platform::NSError> failure;
  bool answered = false;
  bool dismissed = false;

  void didPaymentCompleted(const std::shared_ptr<velquor::platform::UIViewController>& checkout,
                           const std::optional<nlohmann::json>&) override {
    finish(checkout);
  }
  void didPaymentCanceled(const std::shared_ptr<velquor::platform::UIViewController>& checkout) override {
    finish(checkout);
  }
  void didPaymentFail(const std::shared_ptr<velquor::platform::UIViewController>& checkout,
                      const velquor::platform::NSError& error) override {
    if (!failure) failure = error;
    finish(checkout);
  }

 private:
  void finish(const std::shared_ptr<velquor::platform::UIViewController>& checkout) {
    if (answered) return;
    answered = true;
    checkout->dismissViewControllerAnimated(false, [this] { dismissed = true; });
  }
};

// Turns the main loop until `done` holds or a minute has passed (a cold web process on a loaded
// machine takes seconds).
template <typename Condition>
bool spinUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  const guint wake = g_timeout_add(50, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (!done() && std::chrono::steady_clock::now() < deadline) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(wake);
  return done();
}

}  // namespace

int main() {
  gtk_init();
  GtkWidget* window = gtk_window_new();
  gtk_window_set_child(GTK_WINDOW(window), gtk_label_new("Shop"));
  gtk_window_present(GTK_WINDOW(window));

  int status = 0;
  {
    velquor::gtk::GtkToolkit toolkit;
    const auto screen = toolkit.rootViewControllerForWindow(GTK_WINDOW(window));
    const auto delegate = std::make_shared<PaymentResult>();
    const std::string endpoint = "http://127.0.0.1:1/v2/paymentrequest";
    VelquorKit::Velquor::presentVelquorContorller(screen, endpoint, VelquorKit::VelquorParams(), delegate);

    if (!spinUntil([&] { return delegate->answered; })) {
      status = fail("no answer within a minute: the web process extension was not found");
    } else if (!delegate->failure) {
      status = fail("the checkout answered, but not with a failure");
    } else {
      const auto& error = *delegate->failure;
      const auto underlying = error.userInfo().find(velquor::platform::NSUnderlyingErrorKey);
      const auto* engineError =
          underlying == error.userInfo().end()
              ? nullptr
              : std::get_if<std::shared_ptr<const velquor::platform::NSError>>(&underlying->second);
      if (error.domain() != VelquorKit::VelquorCheckoutErrorDomain ||
          error.code() != VelquorKit::VelquorCheckoutErrorPageLoadFailed || engineError == nullptr ||
          *engineError == nullptr || (*engineError)->domain() != "WebKitPolicyError") {
        status = fail("not the refused load's failure: " + error.domain() + " " + std::to_string(error.code()));
      } else {
        std::cout << "gtk_checkout: the refused load was reported: " << (*engineError)->domain() << " "
                  << (*engineError)->code() << std::endl;
      }
    }
    if (delegate->answered && !spinUntil([&] { return delegate->dismissed; })) {
      status = fail("the checkout was not dismissed");
    }
  }
  gtk_window_destroy(GTK_WINDOW(window));
  return status;
}
