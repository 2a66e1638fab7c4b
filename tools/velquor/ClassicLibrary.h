#pragma once

#include "CheckoutLibrary.h"

#include <VelquorClassic/VelquorDelegate.h>
#include <VelquorClassic/VelquorParams.h>

#include <memory>

namespace velquor::tool {

class ClassicLibrary : public CheckoutLibrary {
 public:
  // Decodes through VelquorParamsFromData, so any of the five JSON encodings.
  void loadParams(std::string_view document) override;
  // VelquorParamsToData's compact UTF-8 JSON.
  std::string encodedParams() const override;
  void present(const std::shared_ptr<platform::UIViewController>& screen, const std::optional<std::string>& endpoint,
               CheckoutEvents events, const std::vector<std::string>& trustedOrigins) override;

 private:
  std::shared_ptr<VelquorClassic::VelquorParams> params_ = std::make_shared<VelquorClassic::VelquorParams>();
  // The checkout holds its delegate weakly; the app side keeps it alive.
  std::shared_ptr<VelquorClassic::VelquorDelegate> delegate_;
};

}  // namespace velquor::tool
