#include "CheckoutAdapter.h"

#include <VelquorKit/Velquor.h>

namespace e2e {

namespace {

using velquor::platform::UIViewController;

class RecordingDelegate : public VelquorKit::VelquorDelegate {
 public:
  explicit RecordingDelegate(std::weak_ptr<std::function<void(DelegateCall)>> sink) : sink_(std::move(sink)) {}
  void didPaymentCompleted(const std::shared_ptr<UIViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    deliver(sink_, {DelegateCall::Kind::completed, data, controller});
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>& controller) override {
    deliver(sink_, {DelegateCall::Kind::canceled, std::nullopt, controller});
  }

 protected:
  std::weak_ptr<std::function<void(DelegateCall)>> sink_;
};

class FailureRecordingDelegate : public RecordingDelegate, public VelquorKit::VelquorFailureDelegate {
 public:
  using RecordingDelegate::RecordingDelegate;
  void didPaymentFail(const std::shared_ptr<UIViewController>& controller, const velquor::platform::NSError& error) override {
    deliver(sink_, {DelegateCall::Kind::failed, std::nullopt, controller, error});
  }
};

// VelquorKit: a value record through the library's own keyed decoding (an absent optional field
// is a missing key; the record has no absent required field, so those become empty), and a
// delegate that only the checkout holds, as the README shows.
class KitCheckout : public CheckoutAdapter {
 public:
  const char* libraryName() const override { return "kit"; }

  void launch(const std::shared_ptr<UIViewController>& screen, const std::optional<std::string>& endpoint,
              const PaymentFields& fields) override {
    nlohmann::json document = nlohmann::json::object();
    for (const char* required : kRequired) document[required] = "";
    for (const auto& field : fields) {
      if (field.value) document[field.name] = *field.value;
    }
    const auto params = document.get<VelquorKit::VelquorParams>();
    auto delegate = reportFailures ? std::make_shared<FailureRecordingDelegate>(sink())
                                   : std::make_shared<RecordingDelegate>(sink());
    delegate_ = delegate;
    VelquorKit::Velquor::presentVelquorContorller(screen, endpoint.value_or(""), params, delegate,
                                                  VelquorKit::VelquorCheckoutOptions{trustedOrigins});
  }

  std::weak_ptr<const void> delegate() const override { return delegate_; }

 private:
  static constexpr const char* kRequired[] = {
      "api_key", "order_id", "hash",           "amount",         "mode",     "name",       "phone",      "email",
      "currency", "country", "city",           "state",          "address_line_1", "address_line_2", "zip_code",
      "return_url", "description", "udf1", "udf2", "udf3", "udf4", "udf5"};

  std::weak_ptr<const void> delegate_;
};

}  // namespace

std::unique_ptr<CheckoutAdapter> makeKitCheckout() { return std::make_unique<KitCheckout>(); }

}  // namespace e2e
