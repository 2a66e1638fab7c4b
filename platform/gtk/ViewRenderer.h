#pragma once

#include "GObjectRef.h"

#include <velquor/platform/UIView.h>

#include <gtk/gtk.h>

#include <memory>
#include <vector>

namespace velquor::gtk {

struct GtkToolkitState;
class SpinnerSteps;

// Shows one model view and, for a plain view, its subviews: a plain view is a GtkOverlay whose
// overlays are its subviews in model order (later above); a WKWebView is its WebKitWebView; a
// spinner is a GtkSpinner, turned by SpinnerSteps. It follows the model through observation.
//
// Frames map onto GTK's layout: a subview whose frame is its superview's bounds fills it (and so
// follows the window's size), one centred on its superview stays centred, any other sits at its
// frame's origin with its frame's size.
class ViewRenderer {
 public:
  // A root fills whatever its parent widget gives it.
  ViewRenderer(std::shared_ptr<platform::UIView> view, GtkToolkitState& state, bool isRoot);
  ~ViewRenderer();
  ViewRenderer(const ViewRenderer&) = delete;
  ViewRenderer& operator=(const ViewRenderer&) = delete;

  GtkWidget* widget() const { return widget_.get(); }
  const std::shared_ptr<platform::UIView>& view() const { return view_; }

  // A spinner's name to assistive technologies.
  static constexpr const char* kSpinnerLabel = "Loading";

 private:
  enum class Kind { Plain, WebView, Spinner };

  void sync();
  void applyAppearance();
  void applyPlacement();
  void syncSubviews();
  void detachChildren();

  std::shared_ptr<platform::UIView> view_;
  GtkToolkitState& state_;
  bool isRoot_;
  Kind kind_ = Kind::Plain;
  GObjectRef<GtkWidget> widget_;
  std::unique_ptr<SpinnerSteps> spinnerSteps_;
  std::vector<std::unique_ptr<ViewRenderer>> children_;
  platform::NSObservation observation_;
};

}  // namespace velquor::gtk
