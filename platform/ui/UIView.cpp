#include "UIView.h"

#include <algorithm>

namespace velquor::platform {

UIView::UIView(CGRect frame) : frame_(frame) {}

UIView::~UIView() {
  // Subviews may be kept alive elsewhere; they must not point at a dead superview.
  for (auto& subview : subviews_) subview->superview_.reset();
}

std::shared_ptr<UIView> UIView::initWithFrame(CGRect frame) { return std::make_shared<UIView>(frame); }

void UIView::setFrame(CGRect frame) {
  frame_ = frame;
  didChangeValue();
}

CGRect UIView::bounds() const { return CGRect{{0, 0}, frame_.size}; }

CGPoint UIView::center() const {
  return {frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2};
}

void UIView::setCenter(CGPoint center) {
  frame_.origin = {center.x - frame_.size.width / 2, center.y - frame_.size.height / 2};
  didChangeValue();
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
  if (!view || view.get() == this) return;
  auto keep = view;  // removeFromSuperview may drop the last other reference
  keep->removeFromSuperview();
  keep->superview_ = shared_from(this);
  subviews_.push_back(std::move(keep));
  didChangeValue();
}

void UIView::removeFromSuperview() {
  auto parent = superview_.lock();
  superview_.reset();
  if (!parent) return;
  std::erase_if(parent->subviews_, [this](const std::shared_ptr<UIView>& v) { return v.get() == this; });
  parent->didChangeValue();
}

void UIView::setBackgroundColor(std::optional<UIColor> color) {
  backgroundColor_ = color;
  didChangeValue();
}

void UIView::setTintColor(std::optional<UIColor> color) {
  tintColor_ = color;
  didChangeValue();
}

void UIView::setHidden(bool hidden) {
  if (hidden_ == hidden) return;
  hidden_ = hidden;
  didChangeValue();
}

}  // namespace velquor::platform
