#include "UINavigationController.h"

namespace velquor::platform {

UINavigationController::UINavigationController() = default;

std::shared_ptr<UINavigationController> UINavigationController::initWithRootViewController(
    std::shared_ptr<UIViewController> root) {
  auto navigation = std::make_shared<UINavigationController>();
  navigation->navigationBar_ = std::make_shared<UINavigationBar>();
  if (root) navigation->addChildViewController(root);
  return navigation;
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
  const auto& children = childViewControllers();
  return children.empty() ? nullptr : children.back();
}

void UINavigationController::loadView() {
  UIViewController::loadView();
  auto root = view();
  const auto bounds = root->bounds();
  if (auto top = topViewController()) {
    if (auto content = top->view()) {
      content->setFrame(bounds);
      root->addSubview(content);
    }
  }
  if (!navigationBar_) navigationBar_ = std::make_shared<UINavigationBar>();
  navigationBar_->setFrame(CGRectMake(0, 0, bounds.size.width, kBarHeight));
  root->addSubview(navigationBar_);
}

UINavigationController::~UINavigationController() = default;

}  // namespace velquor::platform
