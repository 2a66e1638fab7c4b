#pragma once

#include "GObjectRef.h"

#include <velquor/platform/UIColor.h>

#include <gtk/gtk.h>

#include <optional>
#include <set>
#include <string>

namespace velquor::gtk {

// The toolkit's style sheet for the whole display: model colours as CSS classes, one rule per
// colour, and the few fixed rules of the platform's look.
// A widget wears at most one foreground and one background class of ours at a time.
class ColorStyles {
 public:
  ColorStyles();
  ~ColorStyles();
  ColorStyles(const ColorStyles&) = delete;
  ColorStyles& operator=(const ColorStyles&) = delete;

  // Text (and symbolic icon) colour; none gives the theme's.
  void setForeground(GtkWidget* widget, const std::optional<platform::UIColor>& color);
  // Background fill; none gives the theme's.
  void setBackground(GtkWidget* widget, const std::optional<platform::UIColor>& color);

  static std::string cssColor(const platform::UIColor& color);

 private:
  void setClass(GtkWidget* widget, const char* prefix, const std::optional<platform::UIColor>& color);
  void reload();

  GObjectRef<GtkCssProvider> provider_;
  GdkDisplay* display_ = nullptr;
  std::set<std::string> rules_;
};

}  // namespace velquor::gtk
