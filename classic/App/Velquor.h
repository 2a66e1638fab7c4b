#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <VelquorClassic/VelquorCheckoutOptions.h>
#include <VelquorClassic/VelquorDelegate.h>
#include <VelquorClassic/VelquorFailureDelegate.h>
#include <VelquorClassic/VelquorParams.h>
#include <velquor/platform/NSObject.h>
#include <velquor/platform/UIViewController.h>

#include <memory>
#include <optional>
#include <string>

namespace VelquorClassic {

// The entry point: presents the checkout and starts the payment. Call on the main thread.
class VELQUORCLASSIC_EXPORT Velquor : public velquor::platform::NSObject {
 public:
  Velquor() = delete;

  // Presents the checkout full screen over `controller` in a navigation container, animated, and
  // starts the payment once the presentation has finished, posting to `url` (empty or nil: the
  // default endpoint, kPaymentURL). `params` is not copied: the page is built from what the object
  // holds when the presentation has finished. The checkout holds `delegate` weakly; keep it alive.
  // Presents nothing without a presenting controller, or when the library's checkout scene is
  // missing or of another class. When the presentation is refused (the screen is in no window, or
  // presents something already) a delegate that is also a VelquorFailureDelegate is told so before
  // this returns (VelquorCheckoutErrorPresentationRefused).
  static void presentVelquorContorller(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                       const std::optional<std::string>& url,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params);
  // The same with what the app switches on beyond it. Throws std::invalid_argument, before
  // anything is presented, for a trusted origin that is not "scheme://host[:port]".
  static void presentVelquorContorller(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                       const std::optional<std::string>& url,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params,
                                       const VelquorCheckoutOptions& options);
  // The same with the empty endpoint, so the default one.
  static void presentVelquorContorller(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params);
};

}  // namespace VelquorClassic
