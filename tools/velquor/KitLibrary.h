#pragma once

#include "CheckoutLibrary.h"

#include <VelquorKit/VelquorParams.h>

namespace velquor::tool {

class KitLibrary : public CheckoutLibrary {
 public:
  void loadParams(std::string_view document) override;
  std::string encodedParams() const override;
  void present(const std::shared_ptr<platform::UIViewController>& screen, const std::optional<std::string>& endpoint,
               CheckoutEvents events, const std::vector<std::string>& trustedOrigins) override;

 private:
  VelquorKit::VelquorParams params_;
};

}  // namespace velquor::tool
