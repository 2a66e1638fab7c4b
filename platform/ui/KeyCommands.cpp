#include "KeyCommands.h"

#include "UIAlertController.h"
#include "UINavigationController.h"

namespace velquor::platform {

bool escapeKeyCommand(const std::shared_ptr<UIViewController>& frontmost) {
  if (!frontmost) return false;
  if (auto alert = std::dynamic_pointer_cast<UIAlertController>(frontmost)) {
    for (const auto& action : alert->actions()) {
      if (action->style() == UIAlertActionStyle::Cancel) return alert->tapAction(action);
    }
    return false;
  }
  auto screen = frontmost;
  if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(frontmost)) screen = navigation->topViewController();
  if (!screen) return false;
  // Copied: the action may replace the bar's items.
  const auto items = screen->navigationItem()->leftBarButtonItems();
  for (const auto& item : items) {
    if (item->systemItem() == UIBarButtonSystemItem::Cancel) return item->sendAction();
  }
  return false;
}

}  // namespace velquor::platform
