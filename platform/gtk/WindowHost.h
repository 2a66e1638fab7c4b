#pragma once

#include "AlertDialog.h"
#include "GObjectRef.h"
#include "PresentedPage.h"
#include "SlideLayer.h"

#include <velquor/platform/UIViewController.h>

#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace velquor::gtk {

struct GtkToolkitState;

// One app window under the toolkit. Its content moves into a GtkStack, as the first page; each
// controller presented over the window adds a page that slides up over the others, and each alert
// is a modal dialog. Dismissal slides the page down and takes it (and everything presented over
// it) away. The stack switches at once; a slide layer over it draws the slide, which ends its
// duration after the present or dismiss call (or half of it after the page is there, if later). Completions run on a later turn of the main loop, after
// the slide has ended.
class WindowHost : public std::enable_shared_from_this<WindowHost> {
 public:
  WindowHost(GtkWindow* window, GtkToolkitState& state);
  // Gives the window its own content back, when it is still there.
  ~WindowHost();
  WindowHost(const WindowHost&) = delete;
  WindowHost& operator=(const WindowHost&) = delete;

  GtkWindow* window() const { return window_; }
  const std::shared_ptr<platform::UIViewController>& rootViewController() const { return root_; }
  // The window is being destroyed: nothing may touch it any more.
  void windowGone() { window_ = nullptr; }

  // False when it cannot be shown (an alert over a window that is gone).
  bool present(const std::shared_ptr<platform::UIViewController>& presented, bool animated,
               std::function<void()> didPresent);
  void dismiss(const std::shared_ptr<platform::UIViewController>& presented, bool animated,
               std::function<void()> didDismiss);

 private:
  struct Alert {
    std::shared_ptr<platform::UIViewController> controller;
    std::shared_ptr<AlertDialog> dialog;
  };

  // `start`: when the presentation or dismissal began (g_get_monotonic_time()); the slide ends its
  // duration after that, but no sooner than half its duration from now.
  void showPage(GtkWidget* page, VelquorSlide slide, bool animated, gint64 start);
  void afterTransition(std::function<void()> task);
  static void slidingChanged(GObject* layer, GParamSpec* property, gpointer self);
  static gboolean keyPressed(GtkEventControllerKey* controller, guint keyval, guint keycode, GdkModifierType modifiers,
                             gpointer self);

  GtkWindow* window_;
  GtkToolkitState& state_;
  std::shared_ptr<platform::UIViewController> root_;
  GObjectRef<GtkWidget> stack_;
  GObjectRef<GtkWidget> layer_;
  GObjectRef<GtkWidget> appContent_;
  std::vector<std::unique_ptr<PresentedPage>> pages_;
  std::vector<Alert> alerts_;
  std::vector<std::function<void()>> waitingForTransition_;
};

}  // namespace velquor::gtk
