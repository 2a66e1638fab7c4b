// An app's test of its own delegate code with VelquorKit on the headless toolkit: one checkout from
// the launcher to the gateway's result message. Exits non-zero when any step goes wrong.

#include <VelquorKit/Velquor.h>
#include <velquor/headless/HeadlessToolkit.h>

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

namespace {

int fail(const char* what) {
  std::cerr << "kit_checkout: " << what << std::endl;
  return 1;
}

class PaymentResult : public VelquorKit::VelquorDelegate {
 public:
  std::vector<std::optional<nlohmann::json>> completed;
  int canceled = 0;

  void didPaymentCompleted(const std::shared_ptr<velquor::platform::UIViewController>& checkout,
                           const std::optional<nlohmann::json>& data) override {
    completed.push_back(data);
    checkout->dismissViewControllerAnimated(true, nullptr);
  }
  void didPaymentCanceled(const std::shared_ptr<velquor::platform::UIViewController>& checkout) override {
    ++canceled;
    checkout->dismissViewControllerAnimated(true, nullptr);
  }
};

}  // namespace

int main() {
  velquor::headless::HeadlessToolkit toolkit;
  const auto screen = toolkit.makeAppScreen();
  VelquorKit::VelquorParams params({.apiKey = "key", .orderId = "ORD-1001", .hash = "hash", .mode = "TEST",
                                    .amount = "249.00", .name = "Zoë", .phone = "9876543210",
                                    .email = "zoe@example.com", .returnURL = "https://merchant.example/return",
                                    .description = "2 notebooks", .currency = "INR", .country = "IND",
                                    .city = "Bengaluru", .state = "Karnataka", .addressLine1 = "12 Lake View Road",
                                    .addressLine2 = "", .udf1 = "", .udf2 = "", .udf3 = "", .udf4 = "", .udf5 = "",
                                    .zipCode = "560001"});
  const auto delegate = std::make_shared<PaymentResult>();
  VelquorKit::Velquor::presentVelquorContorller(screen, "", params, delegate);
  toolkit.runUntilIdle();

  if (toolkit.webViews().empty()) return fail("no web view after the presentation");
  const auto& loads = toolkit.webViews().back()->loads();
  if (loads.size() != 1 || loads[0].html.find("value=\"ORD-1001\"") == std::string::npos) {
    return fail("the payment form page was not loaded with the order");
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
  std::cout << "kit_checkout: the delegate got " << delegate->completed[0]->dump() << std::endl;
  return 0;
}
