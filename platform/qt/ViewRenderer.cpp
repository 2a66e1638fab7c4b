#include "ViewRenderer.h"

#include "Colors.h"
#include "QtToolkitState.h"
#include "SpinnerWidget.h"
#include "WebEngineViewPeer.h"

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/WKWebView.h>

#include <QResizeEvent>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <functional>

namespace velquor::qt {

using platform::CGRect;

namespace {

constexpr double kTolerance = 0.5;

bool near(double a, double b) { return std::fabs(a - b) < kTolerance; }

int pixels(double value) { return std::max(0, static_cast<int>(std::lround(value))); }

// A plain view's area: lays its subviews out again whenever its size changes.
class ViewArea final : public QWidget {
 public:
  ViewArea(std::function<void()> resized, QWidget* parent) : QWidget(parent), resized_(std::move(resized)) {
    setObjectName(ViewRenderer::kAreaName);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (resized_) resized_();
  }

 private:
  std::function<void()> resized_;
};

}  // namespace

ViewRenderer::ViewRenderer(std::shared_ptr<platform::UIView> view, QtToolkitState& state, bool isRoot,
                           QWidget* parent)
    : view_(std::move(view)), state_(state), isRoot_(isRoot) {
  if (auto* webView = dynamic_cast<platform::WKWebView*>(view_.get())) {
    if (auto* peer = dynamic_cast<WebEngineViewPeer*>(webView->peer()); peer && peer->view()) {
      kind_ = Kind::WebView;
      widget_ = peer->view();
      if (!widget_->parentWidget()) widget_->setParent(parent);
    }
  } else if (dynamic_cast<platform::UIActivityIndicatorView*>(view_.get())) {
    kind_ = Kind::Spinner;
    widget_ = new SpinnerWidget(parent);
  }
  if (!widget_) {
    // A plain view, or a web view of another toolkit: an area that holds the subviews.
    kind_ = Kind::Plain;
    widget_ = new ViewArea([this] { placeChildren(); }, parent);
    widget_->setAutoFillBackground(true);
  }
  state_.widgets[view_.get()] = widget_;
  observation_ = view_->addObserver([this](platform::NSObject&) { sync(); });
  sync();
}

ViewRenderer::~ViewRenderer() {
  observation_.invalidate();
  children_.clear();
  if (auto it = state_.widgets.find(view_.get()); it != state_.widgets.end() && it->second == widget_) {
    state_.widgets.erase(it);
  }
  if (!widget_) return;
  if (kind_ == Kind::WebView) {
    // The web view's peer owns its engine view: it only leaves this screen.
    widget_->hide();
    widget_->setParent(nullptr);
  } else {
    delete widget_;
  }
}

void ViewRenderer::sync() {
  if (!widget_) return;
  applyAppearance();
  if (kind_ == Kind::Plain) syncSubviews();
  if (auto superview = view_->superview(); !isRoot_ && superview) place();
}

void ViewRenderer::applyAppearance() {
  widget_->setVisible(!view_->isHidden());
  if (kind_ == Kind::Spinner) {
    auto* spinner = static_cast<SpinnerWidget*>(widget_.data());
    const auto& indicator = static_cast<const platform::UIActivityIndicatorView&>(*view_);
    spinner->setSpinning(indicator.isAnimating());
    // The spinner's own colour wins over the view's tint, as on the platform.
    const auto color = indicator.color() ? indicator.color() : indicator.tintColor();
    spinner->setColor(color ? qColor(*color) : spinner->palette().color(QPalette::WindowText));
  } else if (kind_ == Kind::Plain) {
    setPaletteColor(widget_, QPalette::Window, view_->backgroundColor());
  }
}

void ViewRenderer::place() {
  QWidget* parent = widget_->parentWidget();
  auto superview = view_->superview();
  if (!parent || !superview) return;
  const CGRect frame = view_->frame();
  const CGRect bounds = superview->bounds();
  const bool fills = near(frame.origin.x, 0) && near(frame.origin.y, 0) && near(frame.size.width, bounds.size.width) &&
                     near(frame.size.height, bounds.size.height);
  if (fills) {
    widget_->setGeometry(parent->rect());
    return;
  }
  const QSize size(pixels(frame.size.width), pixels(frame.size.height));
  const auto center = view_->center();
  if (near(center.x, bounds.size.width / 2) && near(center.y, bounds.size.height / 2)) {
    widget_->setGeometry(QRect(QPoint((parent->width() - size.width()) / 2, (parent->height() - size.height()) / 2), size));
    return;
  }
  widget_->setGeometry(QRect(QPoint(pixels(frame.origin.x), pixels(frame.origin.y)), size));
}

void ViewRenderer::placeChildren() {
  for (const auto& child : children_) {
    if (child->widget_) child->place();
  }
}

void ViewRenderer::syncSubviews() {
  const auto& subviews = view_->subviews();
  const bool same = std::equal(subviews.begin(), subviews.end(), children_.begin(), children_.end(),
                               [](const auto& subview, const auto& child) { return subview == child->view(); });
  if (same) {
    // The superview's bounds may have changed under them.
    placeChildren();
    return;
  }
  std::vector<std::unique_ptr<ViewRenderer>> next;
  next.reserve(subviews.size());
  for (const auto& subview : subviews) {
    auto reused = std::find_if(children_.begin(), children_.end(),
                               [&](const auto& child) { return child && child->view() == subview; });
    next.push_back(reused != children_.end() ? std::move(*reused)
                                             : std::make_unique<ViewRenderer>(subview, state_, false, widget_));
  }
  children_ = std::move(next);  // renderers of views that left are dropped here
  for (const auto& child : children_) {
    QWidget* childWidget = child->widget();
    if (!childWidget) continue;
    // Made in this area; only a web view another page holds is not.
    if (childWidget->parentWidget() != widget_) {
      qWarning("velquor: a view is already shown elsewhere; it is not shown twice");
      continue;
    }
    childWidget->raise();  // model order: later above
    childWidget->setVisible(!child->view()->isHidden());
    child->place();
  }
}

}  // namespace velquor::qt
