#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/UIColor.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::platform {

class Bundle;
class UIViewController;

// One scene of a storyboard: the controller class to instantiate (a name in the bundle's class
// registry) and the root view it supplies.
struct StoryboardScene {
  std::string identifier;
  std::string className;
  std::optional<UIColor> viewBackgroundColor;
};

// A storyboard resource as it is compiled into a bundle.
struct StoryboardResource {
  std::vector<StoryboardScene> scenes;
};

class VELQUOR_PLATFORM_EXPORT UIStoryboard : public NSObject {
 public:
  ~UIStoryboard() override;
  UIStoryboard(std::string name, std::shared_ptr<Bundle> bundle, StoryboardResource resource);

  // The storyboard `name` of `bundle`; null when the bundle has no such resource.
  static std::shared_ptr<UIStoryboard> storyboardWithName(const std::string& name, const std::shared_ptr<Bundle>& bundle);

  const std::string& name() const { return name_; }
  // A new controller of the scene under `identifier`; null when there is no such scene or its
  // class is not registered in the bundle.
  std::shared_ptr<UIViewController> instantiateViewControllerWithIdentifier(const std::string& identifier);

 private:
  std::string name_;
  std::shared_ptr<Bundle> bundle_;
  StoryboardResource resource_;
};

}  // namespace velquor::platform
