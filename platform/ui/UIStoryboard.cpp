#include "UIStoryboard.h"

#include <velquor/platform/Bundle.h>
#include <velquor/platform/UIViewController.h>

namespace velquor::platform {

UIStoryboard::UIStoryboard(std::string name, std::shared_ptr<Bundle> bundle, StoryboardResource resource)
    : name_(std::move(name)), bundle_(std::move(bundle)), resource_(std::move(resource)) {}

std::shared_ptr<UIStoryboard> UIStoryboard::storyboardWithName(const std::string& name,
                                                               const std::shared_ptr<Bundle>& bundle) {
  if (!bundle) return nullptr;
  auto resource = bundle->resource<StoryboardResource>(name);
  if (!resource) return nullptr;
  return std::make_shared<UIStoryboard>(name, bundle, std::move(*resource));
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateViewControllerWithIdentifier(const std::string& identifier) {
  for (const auto& scene : resource_.scenes) {
    if (scene.identifier != identifier) continue;
    // A class that is not a controller is no scene's class.
    auto controller = std::dynamic_pointer_cast<UIViewController>(bundle_->instantiateClass(scene.className));
    if (controller) controller->setStoryboardScene(shared_from(this), scene);
    return controller;
  }
  return nullptr;
}

UIStoryboard::~UIStoryboard() = default;

}  // namespace velquor::platform
