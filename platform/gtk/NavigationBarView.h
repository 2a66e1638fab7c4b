#pragma once

#include "GObjectRef.h"

#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>

#include <gtk/gtk.h>

#include <memory>
#include <vector>

namespace velquor::gtk {

struct GtkToolkitState;

// The bar of a navigation container: the top screen's title centred, its left bar button items
// on the left. Colours as the platform applies them: the bar tint (else the background colour)
// fills the bar, the title takes its text attributes' foreground colour, and each button its own
// tint, else the bar's tint, else the system blue. A click sends the item's action.
class NavigationBarView {
 public:
  NavigationBarView(const std::shared_ptr<platform::UINavigationController>& navigation, GtkToolkitState& state);
  ~NavigationBarView();
  NavigationBarView(const NavigationBarView&) = delete;
  NavigationBarView& operator=(const NavigationBarView&) = delete;

  GtkWidget* widget() const { return bar_.get(); }
  // The label showing the top screen's title: what names the checkout to assistive technologies.
  GtkWidget* titleLabel() const { return title_.get(); }

  static constexpr const char* kTitleName = "velquor-bar-title";
  static constexpr const char* kButtonName = "velquor-bar-button";
  static constexpr int kTitlePixelSize = 19;

 private:
  struct Button {
    NavigationBarView* owner;
    std::shared_ptr<platform::UIBarButtonItem> item;
    GObjectRef<GtkWidget> widget;
    platform::NSObservation observation;
  };

  void syncBar();
  void syncItem();
  void syncButtons();
  void applyButtonColor(Button& button);
  static void clicked(GtkButton* button, gpointer data);

  std::shared_ptr<platform::UINavigationBar> navigationBar_;
  std::shared_ptr<platform::UINavigationItem> navigationItem_;
  GtkToolkitState& state_;
  GObjectRef<GtkWidget> bar_;
  GObjectRef<GtkWidget> leftBox_;
  GObjectRef<GtkWidget> title_;
  std::vector<std::unique_ptr<Button>> buttons_;
  platform::NSObservation barObservation_;
  platform::NSObservation itemObservation_;
};

}  // namespace velquor::gtk
