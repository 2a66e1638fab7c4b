#include "UIBarButtonItem.h"

#include <utility>

namespace velquor::platform {

std::string titleForSystemItem(UIBarButtonSystemItem item) {
  switch (item) {
    case UIBarButtonSystemItem::Done: return "Done";
    case UIBarButtonSystemItem::Cancel: return "Cancel";
    case UIBarButtonSystemItem::Edit: return "Edit";
    case UIBarButtonSystemItem::Save: return "Save";
    case UIBarButtonSystemItem::Add: return "+";
  }
  return "";
}

UIBarButtonItem::UIBarButtonItem(UIBarButtonSystemItem systemItem, std::weak_ptr<NSObject> target, std::string action)
    : systemItem_(systemItem), target_(std::move(target)), action_(std::move(action)) {}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem systemItem,
                                                                              std::weak_ptr<NSObject> target,
                                                                              std::string action) {
  return std::make_shared<UIBarButtonItem>(systemItem, std::move(target), std::move(action));
}

void UIBarButtonItem::setTintColor(std::optional<UIColor> color) {
  tintColor_ = color;
  didChangeValue();
}

bool UIBarButtonItem::sendAction() {
  auto target = target_.lock();
  if (!target) return false;
  return target->performSelector(action_);
}

UIBarButtonItem::~UIBarButtonItem() = default;

}  // namespace velquor::platform
