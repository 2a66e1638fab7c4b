#include "Velquor.h"

#include "CheckoutStoryboard.h"
#include "VelquorViewController.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/TrustedOrigins.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/UIStoryboard.h>

#include <typeindex>

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
  auto bundle = Bundle::bundleForClass(std::type_index(typeid(VelquorViewController)));
  auto storyboard = UIStoryboard::storyboardWithName(std::string(kStoryboardName), bundle);
  if (!storyboard) return;
  // A scene of another class would take the delegate and the payment start into a controller that
  // knows neither; present nothing instead.
  auto checkout = std::dynamic_pointer_cast<VelquorViewController>(
      storyboard->instantiateViewControllerWithIdentifier(std::string(kSceneIdentifier)));
  if (!checkout) return;

  checkout->setPaymentDelegate(delegate);
  checkout->setTrustedOrigins(std::move(trustedOrigins));
  auto navigation = UINavigationController::initWithRootViewController(checkout);
  navigation->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
  // The parameters object itself, not a copy: changes made until the presentation has finished
  // reach the page.
  controller->presentViewController(navigation, true, [checkout, params, url] { checkout->startPayment(params, url); });
  if (!navigation->presentingViewController()) checkout->presentationWasRefused();
}

void Velquor::presentVelquorContorller(const std::shared_ptr<UIViewController>& controller,
                                       const std::shared_ptr<VelquorDelegate>& delegate,
                                       const std::shared_ptr<VelquorParams>& params) {
  presentVelquorContorller(controller, std::string(), delegate, params);
}

}  // namespace VelquorClassic
