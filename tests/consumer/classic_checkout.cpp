// An app's test of its own delegate code with VelquorClassic on the headless toolkit: one checkout
// from the launcher to the gateway's result message. Exits non-zero when any step goes wrong.

#include <VelquorClassic/VelquorClassic.h>
#include <velquor/headless/HeadlessToolkit.h>

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

namespace {

int fail(const char* what) {
  std::cerr << "classic_checkout: " << what << std::endl;
  return 1;
}

class PaymentResult : public VelquorClassic::VelquorDelegate {
 public:
  std::vector<std::optional<nlohmann::json>> completed;
  int canceled = 0;

  void didPaymentCompleted(const std::shared_ptr<VelquorClassic::VelquorViewController>& checkout,
                           const std::optional<nlohmann::json>& data) override {
    completed.push_back(data);
    checkout->dismissViewControllerAnimated(true, nullptr);
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorClassic::VelquorViewController>& checkout) override {
    ++canceled;
    checkout->dismissViewControllerAnimated(true, nullptr);
  }
};

}  // namespace

int main() {
  velquor::headless::HeadlessToolkit toolkit;
  const auto screen = toolkit.makeAppScreen();
  auto params = std::make_shared<VelquorClassic::VelquorParams>();
  params->setApiKey("key");
  params->setOrderID("ORD-1001");
  params->setTheHash("hash");
  params->setAmount("249.00");
  params->setValue("cc,dc,upi", "payment_options");
  // The checkout holds its delegate weakly: the app keeps it.
  const auto delegate = std::make_shared<PaymentResult>();
  VelquorClassic::Velquor::presentVelquorContorller(screen, delegate, params);
  toolkit.runUntilIdle();

  if (toolkit.webViews().empty()) return fail("no web view after the presentation");
  const auto& loads = toolkit.webViews().back()->loads();
  if (loads.size() != 1 || loads[0].html.find("value=\"ORD-1001\"") == std::string::npos ||
      loads[0].html.find(kPaymentURL) == std::string::npos) {
    return fail("the payment form page was not loaded with the order and the default endpoint");
  }
  const nlohmann::json body = {{"status", "success"}, {"order_id", "ORD-1001"}, {"amount", "249.00"}};
  if (!toolkit.webViews().back()->postScriptMessage("paymentResponseIos", body)) {
    return fail("no handler for paymentResponseIos");
  }
  toolkit.runUntilIdle();

  if (delegate->completed.size() != 1 || delegate->completed[0] != body || delegate->canceled != 0) {
    return fail("the delegate did not get the gateway's message once, unchanged");
  }
  if (velquor::headless::HeadlessToolkit::topPresentedViewController(screen) != nullptr) {
    return fail("the checkout is still presented after the delegate dismissed it");
  }
  std::cout << "classic_checkout: the delegate got " << delegate->completed[0]->dump() << std::endl;
  return 0;
}
