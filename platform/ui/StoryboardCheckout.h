#pragma once

#include <velquor/platform/UIViewController.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <functional>
#include <memory>
#include <string_view>
#include <typeindex>
#include <utility>

// What a library's launcher does around its own controller: the bundle holding a storyboard of one
// scene, the controller made from that scene, and its full-screen presentation in a navigation
// controller. Each library gives its own names and controller type.

namespace velquor::platform {

struct StoryboardCheckout {
  std::string_view bundleIdentifier;
  std::string_view storyboardName;
  std::string_view sceneIdentifier;
  std::string_view controllerClassName;  // as the bundle's class registry knows the controller
};

using ControllerFactory = std::function<std::shared_ptr<UIViewController>()>;

// Registers, process-wide, a bundle with the controller class and a storyboard whose one scene
// shows it on a white root view.
VELQUOR_PLATFORM_EXPORT void registerStoryboardCheckout(const StoryboardCheckout& names, std::type_index controllerType,
                                                        ControllerFactory factory);
// A new controller of the scene, found through the bundle that registered `controllerType`; null
// when the bundle, its storyboard, the scene or the scene's class is missing.
VELQUOR_PLATFORM_EXPORT std::shared_ptr<UIViewController> instantiateStoryboardCheckout(
    const StoryboardCheckout& names, std::type_index controllerType);
// Presents `root` full screen in a new navigation controller, animated; `completion` runs once the
// presentation has finished. False when the presenting screen's toolkit refused it.
VELQUOR_PLATFORM_EXPORT bool presentFullScreenInNavigation(const std::shared_ptr<UIViewController>& presenting,
                                                           const std::shared_ptr<UIViewController>& root,
                                                           std::function<void()> completion);

template <class Controller>
void registerStoryboardCheckout(const StoryboardCheckout& names) {
  registerStoryboardCheckout(names, std::type_index(typeid(Controller)), [] { return std::make_shared<Controller>(); });
}

// Null as above, and also for a scene whose controller is not a Controller: the launcher's delegate
// and payment start would go to a controller that knows neither.
template <class Controller>
std::shared_ptr<Controller> instantiateStoryboardCheckout(const StoryboardCheckout& names) {
  return std::dynamic_pointer_cast<Controller>(instantiateStoryboardCheckout(names, std::type_index(typeid(Controller))));
}

// The whole launch: a new Controller from the scene (nothing happens without one), given the
// trusted origins and `configure`d, then presented; `start` runs on it once the presentation has
// finished. A refused presentation is told to the controller (`presentationWasRefused()`), which
// then holds nothing.
template <class Controller, class TrustedOrigins, class Configure, class Start>
void presentStoryboardCheckout(const StoryboardCheckout& names, const std::shared_ptr<UIViewController>& presenting,
                               TrustedOrigins trustedOrigins, Configure&& configure, Start start) {
  auto checkout = instantiateStoryboardCheckout<Controller>(names);
  if (!checkout) return;
  checkout->setTrustedOrigins(std::move(trustedOrigins));
  configure(*checkout);
  if (!presentFullScreenInNavigation(presenting, checkout, [checkout, start = std::move(start)] { start(*checkout); })) {
    checkout->presentationWasRefused();
  }
}

}  // namespace velquor::platform
