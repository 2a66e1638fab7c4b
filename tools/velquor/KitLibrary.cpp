#include "KitLibrary.h"

#include "CommandFailure.h"

#include <VelquorKit/Velquor.h>

namespace velquor::tool {

namespace {

class EventDelegate : public VelquorKit::VelquorDelegate {
 public:
  explicit EventDelegate(CheckoutEvents events) : events_(std::move(events)) {}
  void didPaymentCompleted(const std::shared_ptr<platform::UIViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    if (events_.completed) events_.completed(controller, data);
  }
  void didPaymentCanceled(const std::shared_ptr<platform::UIViewController>& controller) override {
    if (events_.canceled) events_.canceled(controller);
  }

 protected:
  CheckoutEvents events_;
};

// The app opted in to failure reports.
class FailureReportingDelegate : public EventDelegate, public VelquorKit::VelquorFailureDelegate {
 public:
  using EventDelegate::EventDelegate;
  void didPaymentFail(const std::shared_ptr<platform::UIViewController>& controller, const platform::NSError& error) override {
    if (events_.failed) events_.failed(controller, error);
  }
};

std::shared_ptr<EventDelegate> makeDelegate(CheckoutEvents events) {
  if (events.failed) return std::make_shared<FailureReportingDelegate>(std::move(events));
  return std::make_shared<EventDelegate>(std::move(events));
}

VelquorKit::VelquorCheckoutOptions checkoutOptions(const std::vector<std::string>& trustedOrigins) {
  VelquorKit::VelquorCheckoutOptions options;
  options.trustedOrigins = trustedOrigins;
  return options;
}

std::string describe(const platform::DecodingError& error) {
  std::string line = platform::DecodingError::kindName(error.kind());
  const auto path = platform::codingPathString(error.codingPath());
  if (!path.empty()) line += " " + path.substr(1);
  return singleLine(line + ": " + error.debugDescription());
}

}  // namespace

void KitLibrary::loadParams(std::string_view document) {
  try {
    params_ = platform::JSONDecoder().decode<VelquorKit::VelquorParams>(document);
  } catch (const platform::DecodingError& error) {
    throw CommandFailure(kExitDataError, describe(error));
  }
}

std::string KitLibrary::encodedParams() const {
  try {
    nlohmann::json document;
    platform::Encoder encoder(document);
    params_.encode(encoder);
    return platform::JSONEncoder::write(document, 2);
  } catch (const platform::EncodingError& error) {
    throw CommandFailure(kExitDataError, singleLine(error.what()));
  }
}

void KitLibrary::present(const std::shared_ptr<platform::UIViewController>& screen, const std::optional<std::string>& endpoint,
                         CheckoutEvents events, const std::vector<std::string>& trustedOrigins) {
  try {
    VelquorKit::Velquor::presentVelquorContorller(screen, endpoint.value_or(""), params_, makeDelegate(std::move(events)),
                                                  checkoutOptions(trustedOrigins));
  } catch (const std::invalid_argument& error) {
    throw CommandFailure(kExitUsage, singleLine(error.what()));
  }
}

}  // namespace velquor::tool
