#include "UINavigationBar.h"

namespace velquor::platform {

void UINavigationBar::setTitleTextAttributes(NSAttributedStringAttributes attributes) {
  titleTextAttributes_ = std::move(attributes);
  didChangeValue();
}

void UINavigationBar::setBarTintColor(std::optional<UIColor> color) {
  barTintColor_ = color;
  didChangeValue();
}

UINavigationBar::~UINavigationBar() = default;

}  // namespace velquor::platform
