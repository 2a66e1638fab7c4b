#include "Velquor.h"

#include "CheckoutConstants.h"
#include "VelquorViewController.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/TrustedOrigins.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/UIStoryboard.h>

#include <typeindex>

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
  auto bundle = Bundle::bundleForClass(std::type_index(typeid(VelquorViewController)));
  auto storyboard = UIStoryboard::storyboardWithName(std::string(kStoryboardName), bundle);
  if (!storyboard) return;
  auto checkout = std::dynamic_pointer_cast<VelquorViewController>(
      storyboard->instantiateViewControllerWithIdentifier(std::string(kSceneIdentifier)));
  if (!checkout) return;

  checkout->setDelegate(delegate);
  checkout->setTrustedOrigins(std::move(trustedOrigins));
  auto navigation = UINavigationController::initWithRootViewController(checkout);
  navigation->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
  controller->presentViewController(navigation, true, [checkout, params, url] { checkout->startPayment(params, url); });
  if (!navigation->presentingViewController()) checkout->presentationWasRefused();
}

}  // namespace VelquorKit
