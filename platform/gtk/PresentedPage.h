#pragma once

#include "GObjectRef.h"
#include "NavigationBarView.h"
#include "ViewRenderer.h"

#include <velquor/platform/UIViewController.h>

#include <gtk/gtk.h>

#include <memory>

namespace velquor::gtk {

struct GtkToolkitState;

// What covers a window while a controller is presented over it: for a navigation container its
// bar above its top screen's root view, for any other controller its root view. The page holds
// the controller (and so its views and web views) until it is destroyed.
class PresentedPage {
 public:
  PresentedPage(std::shared_ptr<platform::UIViewController> controller, GtkToolkitState& state);
  ~PresentedPage();
  PresentedPage(const PresentedPage&) = delete;
  PresentedPage& operator=(const PresentedPage&) = delete;

  GtkWidget* widget() const { return page_.get(); }
  const std::shared_ptr<platform::UIViewController>& controller() const { return controller_; }
  // Moves the keyboard focus onto what the page shows: its web view, else its first control.
  void focusContent();

 private:
  std::shared_ptr<platform::UIViewController> controller_;
  GtkToolkitState& state_;
  GObjectRef<GtkWidget> page_;
  std::unique_ptr<NavigationBarView> bar_;
  std::unique_ptr<ViewRenderer> content_;
};

}  // namespace velquor::gtk
