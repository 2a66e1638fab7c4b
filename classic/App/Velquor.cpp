#include "Velquor.h"

#include "CheckoutStoryboard.h"
#include "VelquorViewController.h"

#include <velquor/platform/TrustedOrigins.h>

namespace VelquorClassic {

using namespace velquor::platform;

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller,
                                       const std::optional<std::string>& url,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params) {
  presentVelquorContorller(controller, url, delegate, params, VelquorCheckoutOptions{});
}

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller,
                                       const std::optional<std::string>& url,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params,
                                       const VelquorCheckoutOptions& options) {
  auto trustedOrigins = trustedOriginsFromStrings(options.trustedOrigins);
  if (!controller) return;
  // The parameters object itself, not a copy: changes made until the presentation has finished
  // reach the page.
  presentStoryboardCheckout<VelquorViewController>(
      kStoryboard, controller, std::move(trustedOrigins), [&](VelquorViewController& checkout) { checkout.setPaymentDelegate(delegate); },
      [params, url](VelquorViewController& checkout) { checkout.startPayment(params, url); });
}

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params) {
  presentVelquorContorller(controller, std::string(), delegate, params);
}

}  // namespace VelquorClassic
