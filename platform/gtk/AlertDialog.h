#pragma once

#include "GObjectRef.h"

#include <velquor/platform/UIAlertController.h>

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

namespace velquor::gtk {

// A presented alert: a modal GtkMessageDialog over the window with the alert's title and message
// and one button per action, in the order added (a destructive action's button is red). A click
// is a tap on that action: the alert closes and runs its handler once. Closing the dialog any
// other way (Escape, the window's close button) is Escape on the alert: it taps the cancel-style
// action if there is one, and otherwise does nothing, since a platform alert only closes through
// its buttons. The first enabled button has the focus; when the alert goes, the focus goes back.
class AlertDialog {
 public:
  // `didPresent` runs on a later turn of the main loop once the dialog is on screen.
  AlertDialog(const std::shared_ptr<platform::UIAlertController>& alert, GtkWindow* parent,
              std::function<void()> didPresent);
  ~AlertDialog();
  AlertDialog(const AlertDialog&) = delete;
  AlertDialog& operator=(const AlertDialog&) = delete;

  GtkWidget* widget() const { return dialog_.get(); }

 private:
  void tap(std::size_t index);
  static void response(GtkDialog* dialog, int responseId, gpointer self);
  static gboolean closeRequest(GtkWindow* window, gpointer self);
  static void mapped(GtkWidget* widget, gpointer self);

  std::weak_ptr<platform::UIAlertController> alert_;
  std::vector<std::shared_ptr<platform::UIAlertAction>> actions_;
  // Outlives the dialog: a dialog's last unref detaches it from its transient parent, which must
  // then still exist, even when the app destroyed that window first.
  GObjectRef<GtkWindow> parent_;
  GObjectRef<GtkWidget> dialog_;
  std::function<void()> didPresent_;
  // Where the window's focus was when the alert came up (weak: null once that widget has gone).
  GtkWidget* previousFocus_ = nullptr;
};

}  // namespace velquor::gtk
