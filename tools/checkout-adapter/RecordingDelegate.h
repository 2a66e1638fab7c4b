#pragma once

#include "DelegateCall.h"

#include <functional>
#include <memory>
#include <optional>

namespace velquor::adapter {

// The app's delegate for either library: both libraries make the same calls, each with its own
// delegate interfaces and controller type. Every call goes to `deliver`.
template <typename Delegate, typename Controller>
class RecordingDelegate : public Delegate {
 public:
  using Deliver = std::function<void(DelegateCall)>;
  explicit RecordingDelegate(Deliver deliver) : deliver_(std::move(deliver)) {}

  void didPaymentCompleted(const std::shared_ptr<Controller>& controller,
                           const std::optional<nlohmann::json>& data) override {
    deliver_({DelegateCall::Kind::completed, data, controller});
  }
  void didPaymentCanceled(const std::shared_ptr<Controller>& controller) override {
    deliver_({DelegateCall::Kind::canceled, std::nullopt, controller});
  }

 protected:
  Deliver deliver_;
};

// The app opted in to failure reports: its delegate is also the library's failure delegate.
template <typename Delegate, typename FailureDelegate, typename Controller>
class FailureRecordingDelegate : public RecordingDelegate<Delegate, Controller>, public FailureDelegate {
 public:
  using RecordingDelegate<Delegate, Controller>::RecordingDelegate;

  void didPaymentFail(const std::shared_ptr<Controller>& controller, const platform::NSError& error) override {
    this->deliver_({DelegateCall::Kind::failed, std::nullopt, controller, error});
  }
};

template <typename Delegate, typename FailureDelegate, typename Controller>
std::shared_ptr<Delegate> makeRecordingDelegate(bool reportFailures,
                                                typename RecordingDelegate<Delegate, Controller>::Deliver deliver) {
  if (reportFailures) {
    return std::make_shared<FailureRecordingDelegate<Delegate, FailureDelegate, Controller>>(std::move(deliver));
  }
  return std::make_shared<RecordingDelegate<Delegate, Controller>>(std::move(deliver));
}

}  // namespace velquor::adapter
