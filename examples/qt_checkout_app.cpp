// A small Qt Widgets app that takes a payment with VelquorKit on the Qt toolkit. "Pay" presents the
// checkout over the window; when the delegate hears the answer, the app dismisses the checkout and
// shows the result.
//
//   qt_checkout_app [ENDPOINT]     ENDPOINT: e.g. `velquor sandbox`'s address; default: the library's own
//
// VELQUOR_EXAMPLE_AUTOPAY=1 presses Pay at start, prints the result and quits (for smoke tests).
// As root, Qt WebEngine runs only with QTWEBENGINE_DISABLE_SANDBOX=1 set.

#include <VelquorKit/Velquor.h>
#include <velquor/qt/QtToolkit.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

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
  QPushButton* payButton = nullptr;
  QLabel* result = nullptr;
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
  app.result->setText(QString::fromStdString(text));
  app.payButton->setEnabled(true);
  if (app.autoPay) {
    std::cout << text << std::endl;
    QApplication::quit();
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

void pay(App& app) {
  app.payButton->setEnabled(false);
  app.result->setText("Paying…");
  VelquorKit::Velquor::presentVelquorContorller(app.screen, app.endpoint, sampleOrder(), std::make_shared<PaymentResult>(app));
}

}  // namespace

int main(int argc, char** argv) {
  App app;
  app.endpoint = argc > 1 ? argv[1] : "";
  app.autoPay = std::getenv("VELQUOR_EXAMPLE_AUTOPAY") != nullptr;
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);  // Qt WebEngine asks for it
  QApplication application(argc, argv);

  QWidget window;
  window.setWindowTitle("Notebook shop (VelquorKit)");
  window.resize(420, 640);
  auto* content = new QVBoxLayout(&window);
  content->addStretch();
  content->addWidget(new QLabel("2 notebooks — 249.00 INR"), 0, Qt::AlignHCenter);
  app.payButton = new QPushButton("Pay");
  content->addWidget(app.payButton, 0, Qt::AlignHCenter);
  app.result = new QLabel();
  app.result->setWordWrap(true);
  app.result->setTextInteractionFlags(Qt::TextSelectableByMouse);
  content->addWidget(app.result);
  content->addStretch();
  QObject::connect(app.payButton, &QPushButton::clicked, [&app] { pay(app); });

  int status = 0;
  {
    velquor::qt::QtToolkit toolkit;  // lives as long as checkouts may be shown
    app.screen = toolkit.rootViewControllerForWindow(&window);
    window.show();
    if (app.autoPay) QTimer::singleShot(0, app.payButton, &QPushButton::click);
    status = QApplication::exec();
    app.screen.reset();
  }
  return status;
}
