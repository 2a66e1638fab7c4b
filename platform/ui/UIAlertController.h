#pragma once

#include <velquor/platform/UIAlertAction.h>
#include <velquor/platform/UIViewController.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::platform {

enum class UIAlertControllerStyle : long {
  ActionSheet = 0,
  Alert = 1,
};

// A modal question with buttons in the order they were added.
class VELQUOR_PLATFORM_EXPORT UIAlertController : public UIViewController {
 public:
  ~UIAlertController() override;
  UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                    UIAlertControllerStyle preferredStyle);

  static std::shared_ptr<UIAlertController> alertControllerWithTitle(std::optional<std::string> title,
                                                                     std::optional<std::string> message,
                                                                     UIAlertControllerStyle preferredStyle);

  const std::optional<std::string>& message() const { return message_; }
  UIAlertControllerStyle preferredStyle() const { return preferredStyle_; }
  void addAction(std::shared_ptr<UIAlertAction> action);
  const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }

  // What a tap on one of its buttons does: closes the alert, then runs that button's handler once.
  // Only the first tap on a presented alert counts; the result says whether this one did.
  bool tapAction(const std::shared_ptr<UIAlertAction>& action);

 private:
  std::optional<std::string> message_;
  UIAlertControllerStyle preferredStyle_;
  std::vector<std::shared_ptr<UIAlertAction>> actions_;
  bool tapped_ = false;
};

}  // namespace velquor::platform
