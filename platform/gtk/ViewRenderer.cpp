#include "ViewRenderer.h"

#include "GtkToolkitState.h"
#include "SpinnerSteps.h"
#include "WebKitWebViewPeer.h"

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/WKWebView.h>

#include <algorithm>
#include <cmath>

namespace velquor::gtk {

using platform::CGRect;

namespace {

constexpr double kTolerance = 0.5;

bool near(double a, double b) { return std::fabs(a - b) < kTolerance; }

int pixels(double value) { return std::max(0, static_cast<int>(std::lround(value))); }

}  // namespace

ViewRenderer::ViewRenderer(std::shared_ptr<platform::UIView> view, GtkToolkitState& state, bool isRoot)
    : view_(std::move(view)), state_(state), isRoot_(isRoot) {
  if (auto* webView = dynamic_cast<platform::WKWebView*>(view_.get())) {
    if (auto* peer = dynamic_cast<WebKitWebViewPeer*>(webView->peer())) {
      kind_ = Kind::WebView;
      widget_ = GObjectRef<GtkWidget>::retain(peer->widget());
    }
  } else if (dynamic_cast<platform::UIActivityIndicatorView*>(view_.get())) {
    kind_ = Kind::Spinner;
    // A progress bar to assistive technologies (GTK 4.8's spinner is a bare filler), busy while it
    // spins, named for what it waits for.
    widget_ = GObjectRef<GtkWidget>::retain(
        GTK_WIDGET(g_object_new(GTK_TYPE_SPINNER, "accessible-role", GTK_ACCESSIBLE_ROLE_PROGRESS_BAR, nullptr)));
    gtk_widget_set_can_target(widget_.get(), FALSE);
    gtk_accessible_update_property(GTK_ACCESSIBLE(widget_.get()), GTK_ACCESSIBLE_PROPERTY_LABEL, kSpinnerLabel, -1);
    spinnerSteps_ = std::make_unique<SpinnerSteps>(widget_.get());
  }
  if (!widget_) {
    // A plain view, or a web view of another toolkit: an area that holds the subviews.
    kind_ = Kind::Plain;
    widget_ = GObjectRef<GtkWidget>::retain(gtk_overlay_new());
  }
  state_.widgets[view_.get()] = widget_.get();
  observation_ = view_->addObserver([this](platform::NSObject&) { sync(); });
  sync();
}

ViewRenderer::~ViewRenderer() {
  observation_.invalidate();
  detachChildren();
  children_.clear();
  if (auto it = state_.widgets.find(view_.get()); it != state_.widgets.end() && it->second == widget_.get()) {
    state_.widgets.erase(it);
  }
  spinnerSteps_.reset();  // stops it
}

void ViewRenderer::sync() {
  applyAppearance();
  applyPlacement();
  if (kind_ == Kind::Plain) syncSubviews();
}

void ViewRenderer::applyAppearance() {
  GtkWidget* widget = widget_.get();
  gtk_widget_set_visible(widget, !view_->isHidden());
  if (kind_ == Kind::Spinner) {
    const auto& spinner = static_cast<const platform::UIActivityIndicatorView&>(*view_);
    spinnerSteps_->setSpinning(spinner.isAnimating());
    gtk_accessible_update_state(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_STATE_BUSY, spinner.isAnimating(), -1);
    // The spinner's own colour wins over the view's tint, as on the platform.
    state_.colors.setForeground(widget, spinner.color() ? spinner.color() : spinner.tintColor());
  } else if (kind_ == Kind::Plain) {
    state_.colors.setBackground(widget, view_->backgroundColor());
  }
}

void ViewRenderer::applyPlacement() {
  GtkWidget* widget = widget_.get();
  auto superview = view_->superview();
  const CGRect frame = view_->frame();
  gtk_widget_set_margin_start(widget, 0);
  gtk_widget_set_margin_top(widget, 0);
  if (isRoot_ || !superview) {
    gtk_widget_set_hexpand(widget, TRUE);
    gtk_widget_set_vexpand(widget, TRUE);
    gtk_widget_set_halign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_valign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_size_request(widget, -1, -1);
    return;
  }
  const CGRect bounds = superview->bounds();
  const bool fills = near(frame.origin.x, 0) && near(frame.origin.y, 0) && near(frame.size.width, bounds.size.width) &&
                     near(frame.size.height, bounds.size.height);
  if (fills) {
    gtk_widget_set_halign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_valign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_size_request(widget, -1, -1);
    return;
  }
  gtk_widget_set_size_request(widget, pixels(frame.size.width), pixels(frame.size.height));
  const auto center = view_->center();
  if (near(center.x, bounds.size.width / 2) && near(center.y, bounds.size.height / 2)) {
    gtk_widget_set_halign(widget, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(widget, GTK_ALIGN_CENTER);
    return;
  }
  gtk_widget_set_halign(widget, GTK_ALIGN_START);
  gtk_widget_set_valign(widget, GTK_ALIGN_START);
  gtk_widget_set_margin_start(widget, pixels(frame.origin.x));
  gtk_widget_set_margin_top(widget, pixels(frame.origin.y));
}

void ViewRenderer::syncSubviews() {
  const auto& subviews = view_->subviews();
  const bool same = std::equal(subviews.begin(), subviews.end(), children_.begin(), children_.end(),
                               [](const auto& subview, const auto& child) { return subview == child->view(); });
  if (same) {
    // The superview's bounds may have changed under them.
    for (const auto& child : children_) child->applyPlacement();
    return;
  }
  detachChildren();
  std::vector<std::unique_ptr<ViewRenderer>> next;
  next.reserve(subviews.size());
  for (const auto& subview : subviews) {
    auto reused = std::find_if(children_.begin(), children_.end(),
                               [&](const auto& child) { return child && child->view() == subview; });
    next.push_back(reused != children_.end() ? std::move(*reused)
                                             : std::make_unique<ViewRenderer>(subview, state_, false));
  }
  children_ = std::move(next);  // renderers of views that left are dropped here
  GtkOverlay* overlay = GTK_OVERLAY(widget_.get());
  for (const auto& child : children_) {
    GtkWidget* childWidget = child->widget();
    if (gtk_widget_get_parent(childWidget)) {
      g_warning("velquor: a view is already shown elsewhere; it is not shown twice");
      continue;
    }
    gtk_overlay_add_overlay(overlay, childWidget);
    child->applyPlacement();
  }
}

void ViewRenderer::detachChildren() {
  if (kind_ != Kind::Plain) return;
  GtkOverlay* overlay = GTK_OVERLAY(widget_.get());
  for (const auto& child : children_) {
    if (child && gtk_widget_get_parent(child->widget()) == widget_.get()) gtk_overlay_remove_overlay(overlay, child->widget());
  }
}

}  // namespace velquor::gtk
