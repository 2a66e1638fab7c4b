#pragma once

#include <velquor/platform/UIView.h>

#include <map>
#include <optional>
#include <string>

namespace velquor::platform {

// The attribute key for the colour of text.
inline constexpr const char* NSForegroundColorAttributeName = "NSColor";

using NSAttributedStringAttributes = std::map<std::string, UIColor>;

// The bar at the top of a navigation container. Its tint colour (UIView) colours the bar's items;
// the bar tint colour is its background tint.
class VELQUOR_PLATFORM_EXPORT UINavigationBar : public UIView {
 public:
  ~UINavigationBar() override;
  using UIView::UIView;

  const NSAttributedStringAttributes& titleTextAttributes() const { return titleTextAttributes_; }
  void setTitleTextAttributes(NSAttributedStringAttributes attributes);
  const std::optional<UIColor>& barTintColor() const { return barTintColor_; }
  void setBarTintColor(std::optional<UIColor> color);

 private:
  NSAttributedStringAttributes titleTextAttributes_;
  std::optional<UIColor> barTintColor_;
};

}  // namespace velquor::platform
