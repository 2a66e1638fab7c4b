#pragma once

#include <velquor/platform/UIBarButtonItem.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::platform {

// What a view controller shows in the navigation bar while it is on top.
class VELQUOR_PLATFORM_EXPORT UINavigationItem : public NSObject {
 public:
  ~UINavigationItem() override;
  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);

  const std::vector<std::shared_ptr<UIBarButtonItem>>& leftBarButtonItems() const { return leftItems_; }
  // Replaces every button on the bar's left side.
  void setLeftBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items);
  std::shared_ptr<UIBarButtonItem> leftBarButtonItem() const;
  // Makes `item` the single left button (none for a null item).
  void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item);

 private:
  std::optional<std::string> title_;
  std::vector<std::shared_ptr<UIBarButtonItem>> leftItems_;
};

}  // namespace velquor::platform
