#include "UINavigationItem.h"

#include <algorithm>

namespace velquor::platform {

void UINavigationItem::setTitle(std::optional<std::string> title) {
  title_ = std::move(title);
  didChangeValue();
}

void UINavigationItem::setLeftBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items) {
  std::erase(items, nullptr);
  leftItems_ = std::move(items);
  didChangeValue();
}

std::shared_ptr<UIBarButtonItem> UINavigationItem::leftBarButtonItem() const {
  return leftItems_.empty() ? nullptr : leftItems_.front();
}

void UINavigationItem::setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item) {
  std::vector<std::shared_ptr<UIBarButtonItem>> items;
  if (item) items.push_back(std::move(item));
  setLeftBarButtonItems(std::move(items));
}

UINavigationItem::~UINavigationItem() = default;

}  // namespace velquor::platform
