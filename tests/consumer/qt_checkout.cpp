// An app with VelquorKit on the Qt toolkit, built against an installed kit, run on a (virtual)
// display. It starts a checkout whose endpoint is on a port Qt WebEngine refuses to load: the
// failure delegate hearing of that refusal shows the toolkit installed its engine, its own URL
// scheme (registered as the library loads) and its navigation handling. Exits non-zero otherwise.

#include <VelquorKit/Velquor.h>
#include <velquor/qt/QtToolkit.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace {

int fail(const std::string& what) {
  std::cerr << "qt_checkout: " << what << std::endl;
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

// Turns the event loop until `done` holds or a minute has passed (a cold renderer on a loaded
// machine takes seconds).
template <typename Condition>
bool spinUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return done();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  QWidget window;
  window.resize(400, 600);
  window.show();

  int status = 0;
  {
    velquor::qt::QtToolkit toolkit;
    const auto screen = toolkit.rootViewControllerForWindow(&window);
    const auto delegate = std::make_shared<PaymentResult>();
    VelquorKit::Velquor::presentVelquorContorller(screen, "http://127.0.0.1:1/v2/paymentrequest", VelquorKit::VelquorParams(),
                                                  delegate);
    if (!spinUntil([&] { return delegate->answered; })) {
      status = fail("no answer within a minute");
    } else if (!delegate->failure) {
      status = fail("the checkout answered, but not with a failure");
    } else if (delegate->failure->domain() != VelquorKit::VelquorCheckoutErrorDomain ||
               delegate->failure->code() != VelquorKit::VelquorCheckoutErrorPageLoadFailed) {
      status = fail("not the refused load's failure: " + delegate->failure->domain() + " " +
                    std::to_string(delegate->failure->code()));
    } else {
      std::cout << "qt_checkout: the refused load was reported: " << delegate->failure->localizedDescription() << std::endl;
    }
    if (delegate->answered && !spinUntil([&] { return delegate->dismissed; })) status = fail("the checkout was not dismissed");
  }
  return status;
}
