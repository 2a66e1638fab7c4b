#pragma once

#include <velquor/platform/CGGeometry.h>
#include <velquor/platform/NSObject.h>
#include <velquor/platform/UIColor.h>

#include <memory>
#include <optional>
#include <vector>

namespace velquor::platform {

// A rectangle in a tree of views. A subview added later lies above those added earlier.
class VELQUOR_PLATFORM_EXPORT UIView : public NSObject {
 public:
  explicit UIView(CGRect frame = {});
  ~UIView() override;

  static std::shared_ptr<UIView> initWithFrame(CGRect frame);

  CGRect frame() const { return frame_; }
  void setFrame(CGRect frame);
  // The view's own coordinate space: origin zero, the frame's size.
  CGRect bounds() const;
  // The frame's centre, in the superview's coordinates.
  CGPoint center() const;
  void setCenter(CGPoint center);

  void addSubview(const std::shared_ptr<UIView>& view);
  void removeFromSuperview();
  const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
  std::shared_ptr<UIView> superview() const { return superview_.lock(); }

  const std::optional<UIColor>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<UIColor> color);
  const std::optional<UIColor>& tintColor() const { return tintColor_; }
  void setTintColor(std::optional<UIColor> color);
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden);

 private:
  CGRect frame_;
  std::vector<std::shared_ptr<UIView>> subviews_;
  std::weak_ptr<UIView> superview_;
  std::optional<UIColor> backgroundColor_;
  std::optional<UIColor> tintColor_;
  bool hidden_ = false;
};

}  // namespace velquor::platform
