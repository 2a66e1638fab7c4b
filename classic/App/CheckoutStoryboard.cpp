// The library's bundle: the compiled-in storyboard "Checkout" and the class registry its scene
// names, made known to the platform when the library is loaded.

#include "CheckoutStoryboard.h"

#include "VelquorViewController.h"

#include <velquor/platform/Bundle.h>

#include <typeindex>

namespace VelquorClassic {

namespace {

std::shared_ptr<velquor::platform::Bundle> makeBundle() {
  using namespace velquor::platform;
  auto bundle = std::make_shared<Bundle>(std::string(kBundleIdentifier));
  bundle->registerClass(std::string(kControllerClassName), std::type_index(typeid(VelquorViewController)),
                        [] { return std::make_shared<VelquorViewController>(); });
  bundle->setStoryboardResource(
      std::string(kStoryboardName),
      StoryboardResource{{StoryboardScene{std::string(kSceneIdentifier), std::string(kControllerClassName),
                                          UIColor::whiteColor()}}});
  Bundle::addBundle(bundle);
  return bundle;
}

const auto registered = makeBundle();

}  // namespace

}  // namespace VelquorClassic
