#include "UIActivityIndicatorView.h"

namespace velquor::platform {

namespace {
// The platform's sizes of the small and large spinners.
CGRect frameForStyle(UIActivityIndicatorViewStyle style) {
  const bool large = style == UIActivityIndicatorViewStyle::WhiteLarge || style == UIActivityIndicatorViewStyle::Large;
  const double side = large ? 37 : 20;
  return CGRectMake(0, 0, side, side);
}
}  // namespace

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style)
    : UIView(frameForStyle(style)), style_(style) {
  setHidden(true);
}

std::shared_ptr<UIActivityIndicatorView> UIActivityIndicatorView::initWithActivityIndicatorStyle(
    UIActivityIndicatorViewStyle style) {
  return std::make_shared<UIActivityIndicatorView>(style);
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides) {
  hidesWhenStopped_ = hides;
  if (!animating_) setHidden(hides);
  didChangeValue();
}

void UIActivityIndicatorView::setColor(std::optional<UIColor> color) {
  color_ = color;
  didChangeValue();
}

void UIActivityIndicatorView::startAnimating() {
  if (animating_) return;
  animating_ = true;
  if (hidesWhenStopped_) setHidden(false);
  didChangeValue();
}

void UIActivityIndicatorView::stopAnimating() {
  if (!animating_) return;
  animating_ = false;
  if (hidesWhenStopped_) setHidden(true);
  didChangeValue();
}

UIActivityIndicatorView::~UIActivityIndicatorView() = default;

}  // namespace velquor::platform
