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
// other way (Escape, the window manager) is Escape's key command: the cancel-style action if there
// is one, otherwise nothing, since a platform alert only closes through its buttons.
//
// The box takes the keys when it appears, on its first button (the safe choice); Tab and the
// arrows move between buttons, Enter or Space press one. When it closes holding the keys, they go
// back to the widget that had them before it.
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

  std::weak_ptr<platform::UIAlertController> alert_;
  std::vector<std::shared_ptr<platform::UIAlertAction>> actions_;
  QPointer<QMessageBox> box_;
  QPointer<QWidget> parent_;
  QPointer<QWidget> focusBefore_;
};

}  // namespace velquor::qt
