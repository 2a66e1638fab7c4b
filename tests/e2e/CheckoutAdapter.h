#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// One payment parameter as the app means it: a gateway field name and its text, or nothing.
struct PaymentField {
  std::string name;
  std::optional<std::string> value;
};
// The 38 parameters, in any order; each library writes them into its page in its own order.
using PaymentFields = std::vector<PaymentField>;

// What the app's delegate was told, in order.
struct DelegateCall {
  enum class Kind { completed, canceled, failed };
  Kind kind;
  std::optional<nlohmann::json> data;  // completed only
  std::weak_ptr<velquor::platform::UIViewController> controller;
  std::optional<velquor::platform::NSError> error = std::nullopt;  // failed only
};

// One of the two libraries, driven as an app drives it: its launcher, its parameters type, its
// delegate. Every delegate call is recorded in `calls` and then handed to `onCall`.
class CheckoutAdapter {
 public:
  virtual ~CheckoutAdapter() = default;

  virtual const char* libraryName() const = 0;
  // The library's launcher; no endpoint: the launcher form that selects the default endpoint
  // (VelquorClassic's launcher without one, VelquorKit's with the empty text).
  virtual void launch(const std::shared_ptr<velquor::platform::UIViewController>& screen,
                      const std::optional<std::string>& endpoint, const PaymentFields& fields) = 0;
  // The delegate of the last launch, as long as anything keeps it alive.
  virtual std::weak_ptr<const void> delegate() const = 0;

  // Opt-ins for the next launch: a delegate that is also the library's failure delegate, and
  // trusted origins for the launcher.
  bool reportFailures = false;
  std::vector<std::string> trustedOrigins;

  std::vector<DelegateCall> calls;
  std::function<void(const DelegateCall&)> onCall;

 protected:
  // What a delegate holds: it reaches the adapter only while the adapter exists.
  using Sink = std::function<void(DelegateCall)>;
  std::weak_ptr<Sink> sink() const { return sink_; }

 private:
  void record(DelegateCall call) {
    calls.push_back(call);
    if (onCall) onCall(call);
  }
  std::shared_ptr<Sink> sink_ = std::make_shared<Sink>([this](DelegateCall call) { record(std::move(call)); });
};

inline void deliver(const std::weak_ptr<std::function<void(DelegateCall)>>& sink, DelegateCall call) {
  if (auto target = sink.lock()) (*target)(std::move(call));
}

std::unique_ptr<CheckoutAdapter> makeKitCheckout();
std::unique_ptr<CheckoutAdapter> makeClassicCheckout();
std::unique_ptr<CheckoutAdapter> makeCheckout(const std::string& library);

}  // namespace e2e
