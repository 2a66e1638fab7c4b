#pragma once

#include <velquor/platform/UINavigationBar.h>
#include <velquor/platform/UIViewController.h>

#include <memory>
#include <vector>

namespace velquor::platform {

// A container with a navigation bar over a stack of screens; the top one's navigation item
// fills the bar.
class VELQUOR_PLATFORM_EXPORT UINavigationController : public UIViewController {
 public:
  ~UINavigationController() override;
  UINavigationController();

  static std::shared_ptr<UINavigationController> initWithRootViewController(std::shared_ptr<UIViewController> root);

  std::shared_ptr<UINavigationBar> navigationBar() const { return navigationBar_; }
  std::vector<std::shared_ptr<UIViewController>> viewControllers() const { return childViewControllers(); }
  std::shared_ptr<UIViewController> topViewController() const;

  // The top screen's view fills the container (under the bar, as on the platform); the bar lies above it.
  void loadView() override;

  static constexpr double kBarHeight = 44;

 private:
  std::shared_ptr<UINavigationBar> navigationBar_;
};

}  // namespace velquor::platform
