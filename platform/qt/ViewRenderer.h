#pragma once

#include <velquor/platform/UIView.h>

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace velquor::qt {

struct QtToolkitState;

// Shows one model view and, for a plain view, its subviews: a plain view is a widget whose
// children are its subviews in model order (later above); a WKWebView is its QWebEngineView; a
// spinner is a SpinnerWidget. It follows the model through observation.
//
// Frames map onto the widget's geometry as the GTK toolkit maps them onto its layout: a subview
// whose frame is its superview's bounds fills it (and so follows the window's size), one centred on
// its superview stays centred, any other sits at its frame.
class ViewRenderer {
 public:
  // A root fills whatever its parent widget gives it. Its widget is made inside `parent`: made as a
  // window of its own and moved in later, it would flash on screen and take the keys from the app's
  // window (a web view is moved in only when no other page holds it).
  ViewRenderer(std::shared_ptr<platform::UIView> view, QtToolkitState& state, bool isRoot, QWidget* parent);
  ~ViewRenderer();
  ViewRenderer(const ViewRenderer&) = delete;
  ViewRenderer& operator=(const ViewRenderer&) = delete;

  QWidget* widget() const { return widget_; }
  const std::shared_ptr<platform::UIView>& view() const { return view_; }

  // The widget of a plain view.
  static constexpr const char* kAreaName = "velquor-view";

 private:
  enum class Kind { Plain, WebView, Spinner };

  void sync();
  void applyAppearance();
  void place();
  void placeChildren();
  void syncSubviews();

  std::shared_ptr<platform::UIView> view_;
  QtToolkitState& state_;
  bool isRoot_;
  Kind kind_ = Kind::Plain;
  // Qt deletes a widget with its parent window; the pointer then reads null.
  QPointer<QWidget> widget_;
  std::vector<std::unique_ptr<ViewRenderer>> children_;
  platform::NSObservation observation_;
};

}  // namespace velquor::qt
