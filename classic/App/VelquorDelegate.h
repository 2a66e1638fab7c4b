#pragma once

#include <VelquorClassic/VelquorClassicExport.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

namespace VelquorClassic {

class VelquorViewController;

// The app's callbacks from a checkout, on the main thread. The checkout holds its delegate weakly:
// the app keeps it alive for the whole checkout, and once it is gone both calls go nowhere. The
// checkout never closes itself: after either call the app dismisses it when it sees fit.
class VELQUORCLASSIC_EXPORT VelquorDelegate {
 public:
  virtual ~VelquorDelegate();

  // Each message that a gateway page posts under kJavaScriptCallbackName, with its body unchanged
  // (nil for undefined).
  virtual void didPaymentCompleted(const std::shared_ptr<VelquorViewController>& controller,
                                   const std::optional<nlohmann::json>& data) = 0;
  // The customer answered kAlertButtonYes to the cancel question.
  virtual void didPaymentCanceled(const std::shared_ptr<VelquorViewController>& controller) = 0;
};

}  // namespace VelquorClassic
