#include "ClassicLibrary.h"

#include "CommandFailure.h"

#include <VelquorClassic/Velquor.h>
#include <VelquorClassic/VelquorParamsJSON.h>
#include <VelquorClassic/VelquorViewController.h>
#include <velquor/platform/NSException.h>

#include <variant>

namespace velquor::tool {

namespace {

class EventDelegate : public VelquorClassic::VelquorDelegate {
 public:
  explicit EventDelegate(CheckoutEvents events) : events_(std::move(events)) {}
  void didPaymentCompleted(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    if (events_.completed) events_.completed(controller, data);
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller) override {
    if (events_.canceled) events_.canceled(controller);
  }

 protected:
  CheckoutEvents events_;
};

// The app opted in to failure reports.
class FailureReportingDelegate : public EventDelegate, public VelquorClassic::VelquorFailureDelegate {
 public:
  using EventDelegate::EventDelegate;
  void didPaymentFail(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller, const platform::NSError& error) override {
    if (events_.failed) events_.failed(controller, error);
  }
};

std::shared_ptr<EventDelegate> makeDelegate(CheckoutEvents events) {
  if (events.failed) return std::make_shared<FailureReportingDelegate>(std::move(events));
  return std::make_shared<EventDelegate>(std::move(events));
}

VelquorClassic::VelquorCheckoutOptions checkoutOptions(const std::vector<std::string>& trustedOrigins) {
  VelquorClassic::VelquorCheckoutOptions options;
  options.trustedOrigins = trustedOrigins;
  return options;
}

// "NSCocoaErrorDomain 3840: Invalid JSON around line 1, column 8 (byte 7): ..." or
// "JSONSerialization -1: NSInvalidArgumentException: ...": the domain and code first, then what
// the error carries that says most.
std::string describe(const std::shared_ptr<platform::NSError>& error) {
  if (!error) return "the library reported no error";
  std::string line = error->domain() + " " + std::to_string(error->code()) + ": ";
  const auto& userInfo = error->userInfo();
  for (const auto& [key, value] : userInfo) {
    if (const auto* exception = std::get_if<platform::NSException>(&value)) {
      return singleLine(line + exception->name() + ": " + exception->reason());
    }
  }
  if (auto it = userInfo.find(platform::NSDebugDescriptionErrorKey); it != userInfo.end()) {
    if (const auto* text = std::get_if<std::string>(&it->second)) return singleLine(line + *text);
  }
  return singleLine(line + error->localizedDescription());
}

}  // namespace

void ClassicLibrary::loadParams(std::string_view document) {
  std::shared_ptr<platform::NSError> error;
  auto params = VelquorParamsFromData(platform::NSData(document), &error);
  if (!params) throw CommandFailure(kExitDataError, describe(error));
  params_ = std::move(params);
}

std::string ClassicLibrary::encodedParams() const {
  std::shared_ptr<platform::NSError> error;
  auto data = VelquorParamsToData(params_, &error);
  if (!data) throw CommandFailure(kExitDataError, describe(error));
  return *data;
}

void ClassicLibrary::present(const std::shared_ptr<platform::UIViewController>& screen,
                             const std::optional<std::string>& endpoint, CheckoutEvents events,
                             const std::vector<std::string>& trustedOrigins) {
  delegate_ = makeDelegate(std::move(events));
  try {
    if (!trustedOrigins.empty()) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, endpoint, delegate_, params_, checkoutOptions(trustedOrigins));
    } else if (endpoint) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, *endpoint, delegate_, params_);
    } else {
      VelquorClassic::Velquor::presentVelquorContorller(screen, delegate_, params_);
    }
  } catch (const std::invalid_argument& error) {
    throw CommandFailure(kExitUsage, singleLine(error.what()));
  }
}

}  // namespace velquor::tool
