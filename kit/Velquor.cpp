#include "Velquor.h"

#include "CheckoutConstants.h"
#include "VelquorViewController.h"

#include <velquor/platform/TrustedOrigins.h>

namespace VelquorKit {

using namespace velquor::platform;

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller, const std::string& url,
                                       const VelquorParams& params, const std::shared_ptr<VelquorDelegate>& delegate) {
  presentVelquorContorller(controller, url, params, delegate, VelquorCheckoutOptions{});
}

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller, const std::string& url,
                                       const VelquorParams& params, const std::shared_ptr<VelquorDelegate>& delegate,
                                       const VelquorCheckoutOptions& options) {
  auto trustedOrigins = trustedOriginsFromStrings(options.trustedOrigins);
  if (!controller || !delegate) return;
  presentStoryboardCheckout<VelquorViewController>(
      kStoryboard, controller, std::move(trustedOrigins), [&](VelquorViewController& checkout) { checkout.setDelegate(delegate); },
      [params, url](VelquorViewController& checkout) { checkout.startPayment(params, url); });
}

}  // namespace VelquorKit
