#include "CheckoutLibrary.h"
#include "ParamsError.h"
#include "RecordingDelegate.h"

#include <VelquorKit/Velquor.h>

namespace velquor::adapter {

namespace {

using platform::UIViewController;

// "keyNotFound hash: No value associated with key ...": the kind, where, then what.
std::string describe(const platform::DecodingError& error) {
  std::string line = platform::DecodingError::kindName(error.kind());
  const auto path = platform::codingPathString(error.codingPath());
  if (!path.empty()) line += " " + path.substr(1);
  return line + ": " + error.debugDescription();
}

nlohmann::json encoded(const VelquorKit::VelquorParams& params) {
  nlohmann::json document;
  platform::Encoder encoder(document);
  params.encode(encoder);
  return document;
}

// VelquorKit: a value record through its keyed coding, and a delegate that only the checkout
// holds, as the library's README shows.
class KitCheckoutLibrary final : public CheckoutLibrary {
 public:
  void loadParams(std::string_view document) override {
    try {
      params_ = platform::JSONDecoder().decode<VelquorKit::VelquorParams>(document);
    } catch (const platform::DecodingError& error) {
      throw ParamsError(describe(error));
    }
  }

  // Indented by two, as JSONEncoder writes it for people.
  std::string encodedParams() const override {
    try {
      return platform::JSONEncoder::write(encoded(params_), 2);
    } catch (const platform::EncodingError& error) {
      throw ParamsError(error.what());
    }
  }

  nlohmann::json blankParams() const override { return encoded(VelquorKit::VelquorParams()); }

  void launch(const std::shared_ptr<UIViewController>& screen, const std::optional<std::string>& endpoint) override {
    auto delegate =
        makeRecordingDelegate<VelquorKit::VelquorDelegate, VelquorKit::VelquorFailureDelegate, UIViewController>(
            reportFailures, delegateSink());
    delegate_ = delegate;
    const std::string url = endpoint.value_or("");
    if (trustedOrigins.empty()) {
      VelquorKit::Velquor::presentVelquorContorller(screen, url, params_, delegate);
    } else {
      VelquorKit::Velquor::presentVelquorContorller(screen, url, params_, delegate,
                                                    VelquorKit::VelquorCheckoutOptions{trustedOrigins});
    }
  }

  std::weak_ptr<const void> delegate() const override { return delegate_; }

 private:
  VelquorKit::VelquorParams params_;
  std::weak_ptr<const void> delegate_;
};

}  // namespace

std::unique_ptr<CheckoutLibrary> makeKitCheckoutLibrary() { return std::make_unique<KitCheckoutLibrary>(); }

}  // namespace velquor::adapter
