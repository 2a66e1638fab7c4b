#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/UIColor.h>

#include <memory>
#include <optional>
#include <string>

namespace velquor::platform {

enum class UIBarButtonSystemItem : long {
  Done = 0,
  Cancel = 1,
  Edit = 2,
  Save = 3,
  Add = 4,
};

// The text a toolkit shows for a system item.
VELQUOR_PLATFORM_EXPORT std::string titleForSystemItem(UIBarButtonSystemItem item);

// A button in a navigation bar. A tap sends `action` to `target`; the target is not kept alive.
class VELQUOR_PLATFORM_EXPORT UIBarButtonItem : public NSObject {
 public:
  ~UIBarButtonItem() override;
  UIBarButtonItem(UIBarButtonSystemItem systemItem, std::weak_ptr<NSObject> target, std::string action);

  static std::shared_ptr<UIBarButtonItem> initWithBarButtonSystemItem(UIBarButtonSystemItem systemItem,
                                                                      std::weak_ptr<NSObject> target,
                                                                      std::string action);

  UIBarButtonSystemItem systemItem() const { return systemItem_; }
  std::shared_ptr<NSObject> target() const { return target_.lock(); }
  const std::string& action() const { return action_; }
  const std::optional<UIColor>& tintColor() const { return tintColor_; }
  void setTintColor(std::optional<UIColor> color);

  // What a tap does: sends the action. False when the target is gone or does not answer it.
  bool sendAction();

 private:
  UIBarButtonSystemItem systemItem_;
  std::weak_ptr<NSObject> target_;
  std::string action_;
  std::optional<UIColor> tintColor_;
};

}  // namespace velquor::platform
