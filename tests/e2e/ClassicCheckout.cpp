#include "CheckoutAdapter.h"

#include <VelquorClassic/Velquor.h>
#include <VelquorClassic/VelquorViewController.h>

namespace e2e {

namespace {

using velquor::platform::UIViewController;

class RecordingDelegate : public VelquorClassic::VelquorDelegate {
 public:
  explicit RecordingDelegate(std::weak_ptr<std::function<void(DelegateCall)>> sink) : sink_(std::move(sink)) {}
  void didPaymentCompleted(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    deliver(sink_, {DelegateCall::Kind::completed, data, controller});
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller) override {
    deliver(sink_, {DelegateCall::Kind::canceled, std::nullopt, controller});
  }

 protected:
  std::weak_ptr<std::function<void(DelegateCall)>> sink_;
};

class FailureRecordingDelegate : public RecordingDelegate, public VelquorClassic::VelquorFailureDelegate {
 public:
  using RecordingDelegate::RecordingDelegate;
  void didPaymentFail(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller, const velquor::platform::NSError& error) override {
    deliver(sink_, {DelegateCall::Kind::failed, std::nullopt, controller, error});
  }
};

// VelquorClassic: a parameters object set by gateway key (an absent field stays nil), and a
// delegate the app keeps alive itself, since the checkout holds it weakly.
class ClassicCheckout : public CheckoutAdapter {
 public:
  const char* libraryName() const override { return "classic"; }

  void launch(const std::shared_ptr<UIViewController>& screen, const std::optional<std::string>& endpoint,
              const PaymentFields& fields) override {
    auto params = std::make_shared<VelquorClassic::VelquorParams>();
    for (const auto& field : fields) {
      if (field.value) params->setValue(nlohmann::json(*field.value), field.name);
    }
    delegate_ = reportFailures ? std::make_shared<FailureRecordingDelegate>(sink())
                               : std::make_shared<RecordingDelegate>(sink());
    if (reportFailures || !trustedOrigins.empty()) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, endpoint, delegate_, params,
                                                        VelquorClassic::VelquorCheckoutOptions{trustedOrigins});
    } else if (endpoint) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, *endpoint, delegate_, params);
    } else {
      VelquorClassic::Velquor::presentVelquorContorller(screen, delegate_, params);
    }
  }

  std::weak_ptr<const void> delegate() const override { return delegate_; }

 private:
  std::shared_ptr<RecordingDelegate> delegate_;
};

}  // namespace

std::unique_ptr<CheckoutAdapter> makeClassicCheckout() { return std::make_unique<ClassicCheckout>(); }

}  // namespace e2e
