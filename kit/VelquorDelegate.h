#pragma once

#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

namespace VelquorKit {

// The app's callbacks from a checkout, on the main thread. The checkout never closes itself: after
// either call the app dismisses the presented checkout when it sees fit.
class VelquorDelegate {
 public:
  virtual ~VelquorDelegate() = default;

  // Each message that a gateway page posts under "paymentResponseIos", with its body (nil for undefined).
  virtual void didPaymentCompleted(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                   const std::optional<nlohmann::json>& data) = 0;
  // The customer confirmed the cancel question.
  virtual void didPaymentCanceled(const std::shared_ptr<velquor::platform::UIViewController>& controller) = 0;
};

}  // namespace VelquorKit
