#pragma once

#include <VelquorKit/VelquorCheckoutOptions.h>
#include <VelquorKit/VelquorDelegate.h>
#include <VelquorKit/VelquorFailureDelegate.h>
#include <VelquorKit/VelquorKitExport.h>
#include <VelquorKit/VelquorParams.h>
#include <velquor/platform/UIViewController.h>

#include <memory>
#include <string>

namespace VelquorKit {

class VELQUORKIT_EXPORT Velquor {
 public:
  Velquor() = delete;

  // Presents the checkout full screen over `controller`, animated, and starts the payment once the
  // presentation has finished. `url` empty selects the default endpoint. `params` is copied here; the
  // checkout holds `delegate` strongly until it is dismissed. Call on the main thread.
  // Presents nothing when the library's checkout scene is missing or of the wrong class, or when
  // `controller` or `delegate` is null. When the presentation is refused (the screen is in no
  // window, or presents something already) a delegate that is also a VelquorFailureDelegate is told
  // so before this returns (VelquorCheckoutErrorPresentationRefused).
  static void presentVelquorContorller(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                       const std::string& url, const VelquorParams& params,
                                       const std::shared_ptr<VelquorDelegate>& delegate);
  // The same with what the app switches on beyond it. Throws std::invalid_argument, before
  // anything is presented, for a trusted origin that is not "scheme://host[:port]".
  static void presentVelquorContorller(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                                       const std::string& url, const VelquorParams& params,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const VelquorCheckoutOptions& options);
};

}  // namespace VelquorKit
