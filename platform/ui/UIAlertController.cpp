#include "UIAlertController.h"

#include <algorithm>

namespace velquor::platform {

UIAlertController::UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                                     UIAlertControllerStyle preferredStyle)
    : message_(std::move(message)), preferredStyle_(preferredStyle) {
  setTitle(std::move(title));
  setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
}

std::shared_ptr<UIAlertController> UIAlertController::alertControllerWithTitle(std::optional<std::string> title,
                                                                               std::optional<std::string> message,
                                                                               UIAlertControllerStyle preferredStyle) {
  return std::make_shared<UIAlertController>(std::move(title), std::move(message), preferredStyle);
}

void UIAlertController::addAction(std::shared_ptr<UIAlertAction> action) {
  if (!action) return;
  actions_.push_back(std::move(action));
  didChangeValue();
}

bool UIAlertController::tapAction(const std::shared_ptr<UIAlertAction>& action) {
  if (tapped_ || !action || !action->isEnabled() || !presentingViewController() || isBeingDismissed()) return false;
  if (std::find(actions_.begin(), actions_.end(), action) == actions_.end()) return false;
  tapped_ = true;
  // The handler leaves the alert with the tap: whatever it holds is released once it has run.
  auto handler = std::move(action->handler_);
  action->handler_ = nullptr;
  dismissViewControllerAnimated(true, [action, handler = std::move(handler)] {
    if (handler) handler(action);
  });
  return true;
}

UIAlertController::~UIAlertController() = default;

}  // namespace velquor::platform
