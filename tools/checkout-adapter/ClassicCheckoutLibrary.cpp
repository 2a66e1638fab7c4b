#include "CheckoutLibrary.h"
#include "ParamsError.h"
#include "RecordingDelegate.h"

#include <VelquorClassic/Velquor.h>
#include <VelquorClassic/VelquorParamsJSON.h>
#include <VelquorClassic/VelquorViewController.h>
#include <velquor/platform/NSException.h>

#include <variant>

namespace velquor::adapter {

namespace {

// "NSCocoaErrorDomain 3840: Invalid JSON around line 1, column 8 (byte 7): ..." or
// "JSONSerialization -1: NSInvalidArgumentException: ...": the domain and code first, then what
// the error carries that says most.
std::string describe(const std::shared_ptr<platform::NSError>& error) {
  if (!error) return "the library reported no error";
  std::string line = error->domain() + " " + std::to_string(error->code()) + ": ";
  const auto& userInfo = error->userInfo();
  for (const auto& [key, value] : userInfo) {
    if (const auto* exception = std::get_if<platform::NSException>(&value)) {
      return line + exception->name() + ": " + exception->reason();
    }
  }
  if (auto it = userInfo.find(platform::NSDebugDescriptionErrorKey); it != userInfo.end()) {
    if (const auto* text = std::get_if<std::string>(&it->second)) return line + *text;
  }
  return line + error->localizedDescription();
}

// VelquorClassic: a parameters object through the library's JSON functions, and a delegate this
// object keeps alive for the app, since the checkout holds it weakly.
class ClassicCheckoutLibrary final : public CheckoutLibrary {
 public:
  // Through VelquorParamsFromData, so any of the five JSON encodings.
  void loadParams(std::string_view document) override {
    std::shared_ptr<platform::NSError> error;
    auto params = VelquorParamsFromData(platform::NSData(document), &error);
    if (!params) throw ParamsError(describe(error));
    params_ = std::move(params);
  }

  // VelquorParamsToData's compact UTF-8 JSON.
  std::string encodedParams() const override {
    std::shared_ptr<platform::NSError> error;
    auto data = VelquorParamsToData(params_, &error);
    if (!data) throw ParamsError(describe(error));
    return *data;
  }

  nlohmann::json blankParams() const override {
    return std::make_shared<VelquorClassic::VelquorParams>()->JSONDictionary();
  }

  void launch(const std::shared_ptr<platform::UIViewController>& screen,
              const std::optional<std::string>& endpoint) override {
    delegate_ = makeRecordingDelegate<VelquorClassic::VelquorDelegate, VelquorClassic::VelquorFailureDelegate,
                                      VelquorClassic::VelquorViewController>(reportFailures, delegateSink());
    if (!trustedOrigins.empty()) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, endpoint, delegate_, params_,
                                                        VelquorClassic::VelquorCheckoutOptions{trustedOrigins});
    } else if (endpoint) {
      VelquorClassic::Velquor::presentVelquorContorller(screen, *endpoint, delegate_, params_);
    } else {
      VelquorClassic::Velquor::presentVelquorContorller(screen, delegate_, params_);
    }
  }

  std::weak_ptr<const void> delegate() const override { return delegate_; }

 private:
  std::shared_ptr<VelquorClassic::VelquorParams> params_ = std::make_shared<VelquorClassic::VelquorParams>();
  std::shared_ptr<VelquorClassic::VelquorDelegate> delegate_;
};

}  // namespace

std::unique_ptr<CheckoutLibrary> makeClassicCheckoutLibrary() { return std::make_unique<ClassicCheckoutLibrary>(); }

}  // namespace velquor::adapter
