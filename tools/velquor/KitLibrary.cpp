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

 private:
  CheckoutEvents events_;
};

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
                         CheckoutEvents events) {
  VelquorKit::Velquor::presentVelquorContorller(screen, endpoint.value_or(""), params_,
                                                std::make_shared<EventDelegate>(std::move(events)));
}

}  // namespace velquor::tool
