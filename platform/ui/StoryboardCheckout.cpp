#include "StoryboardCheckout.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/UIColor.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/UIStoryboard.h>

#include <string>

namespace velquor::platform {

void registerStoryboardCheckout(const StoryboardCheckout& names, std::type_index controllerType,
                                ControllerFactory factory) {
  auto bundle = std::make_shared<Bundle>(std::string(names.bundleIdentifier));
  bundle->registerClass(std::string(names.controllerClassName), controllerType,
                        [factory = std::move(factory)]() -> std::shared_ptr<NSObject> { return factory(); });
  bundle->setResource(std::string(names.storyboardName),
                      StoryboardResource{{StoryboardScene{std::string(names.sceneIdentifier),
                                                          std::string(names.controllerClassName), UIColor::whiteColor()}}});
  Bundle::addBundle(bundle);
}

std::shared_ptr<UIViewController> instantiateStoryboardCheckout(const StoryboardCheckout& names,
                                                                std::type_index controllerType) {
  auto bundle = Bundle::bundleForClass(controllerType);
  auto storyboard = UIStoryboard::storyboardWithName(std::string(names.storyboardName), bundle);
  if (!storyboard) return nullptr;
  return storyboard->instantiateViewControllerWithIdentifier(std::string(names.sceneIdentifier));
}

bool presentFullScreenInNavigation(const std::shared_ptr<UIViewController>& presenting,
                                   const std::shared_ptr<UIViewController>& root, std::function<void()> completion) {
  auto navigation = UINavigationController::initWithRootViewController(root);
  navigation->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
  presenting->presentViewController(navigation, true, std::move(completion));
  return navigation->presentingViewController() != nullptr;
}

}  // namespace velquor::platform
