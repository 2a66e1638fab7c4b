#pragma once

#include <velquor/platform/UIView.h>

namespace velquor::platform {

enum class UIActivityIndicatorViewStyle : long {
  WhiteLarge = 0,
  White = 1,
  Gray = 2,  // the small gray spinner
  Medium = 100,
  Large = 101,
};

// A spinner. It is created stopped; with hides-when-stopped set it is visible exactly while it animates.
class VELQUOR_PLATFORM_EXPORT UIActivityIndicatorView : public UIView {
 public:
  ~UIActivityIndicatorView() override;
  explicit UIActivityIndicatorView(UIActivityIndicatorViewStyle style);

  static std::shared_ptr<UIActivityIndicatorView> initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle style);

  UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool hides);
  // The spinner's own colour, apart from the view's tint colour.
  const std::optional<UIColor>& color() const { return color_; }
  void setColor(std::optional<UIColor> color);

  bool isAnimating() const { return animating_; }
  void startAnimating();
  void stopAnimating();

 private:
  UIActivityIndicatorViewStyle style_;
  bool hidesWhenStopped_ = true;
  bool animating_ = false;
  std::optional<UIColor> color_;
};

}  // namespace velquor::platform
