#pragma once

#include <velquor/platform/NSObject.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velquor::platform {

enum class UIAlertActionStyle : long {
  Default = 0,
  Cancel = 1,
  Destructive = 2,
};

// A button of an alert, with the handler that a tap on it runs.
class VELQUOR_PLATFORM_EXPORT UIAlertAction : public NSObject {
 public:
  ~UIAlertAction() override;
  using Handler = std::function<void(const std::shared_ptr<UIAlertAction>&)>;

  UIAlertAction(std::optional<std::string> title, UIAlertActionStyle style, Handler handler);

  static std::shared_ptr<UIAlertAction> actionWithTitle(std::optional<std::string> title, UIAlertActionStyle style,
                                                        Handler handler);

  const std::optional<std::string>& title() const { return title_; }
  UIAlertActionStyle style() const { return style_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled);

 private:
  friend class UIAlertController;
  std::optional<std::string> title_;
  UIAlertActionStyle style_;
  Handler handler_;
  bool enabled_ = true;
};

}  // namespace velquor::platform
