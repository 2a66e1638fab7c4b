#include "UIAlertAction.h"

namespace velquor::platform {

UIAlertAction::UIAlertAction(std::optional<std::string> title, UIAlertActionStyle style, Handler handler)
    : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

std::shared_ptr<UIAlertAction> UIAlertAction::actionWithTitle(std::optional<std::string> title, UIAlertActionStyle style,
                                                              Handler handler) {
  return std::make_shared<UIAlertAction>(std::move(title), style, std::move(handler));
}

void UIAlertAction::setEnabled(bool enabled) {
  enabled_ = enabled;
  didChangeValue();
}

UIAlertAction::~UIAlertAction() = default;

}  // namespace velquor::platform
