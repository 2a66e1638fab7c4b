#pragma once

#include <velquor/platform/UIAlertController.h>

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QMessageBox;
class QWidget;

namespace velquor::qt {

// A presented alert: a window-modal message box over the window with the alert's title and
// message and one button per action, in the order added (a destructive action's text is red). A
// click is a tap on that action: the alert closes and runs its handler once. Closing the box any
// other way (Escape, the window manager) taps the cancel-style action if there is one, and
// otherwise does nothing, since a platform alert only closes through its buttons.
class AlertDialog {
 public:
  // `didPresent` runs on a later turn of the event loop once the box is on screen.
  AlertDialog(const std::shared_ptr<platform::UIAlertController>& alert, QWidget* parent,
              std::function<void()> didPresent);
  ~AlertDialog();
  AlertDialog(const AlertDialog&) = delete;
  AlertDialog& operator=(const AlertDialog&) = delete;

  QWidget* widget() const;

  static constexpr const char* kAlertName = "velquor-alert";

 private:
  void tap(std::size_t index);
  void tapCancel();

  std::weak_ptr<platform::UIAlertController> alert_;
  std::vector<std::shared_ptr<platform::UIAlertAction>> actions_;
  QPointer<QMessageBox> box_;
};

}  // namespace velquor::qt
