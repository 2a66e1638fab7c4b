#include "ColorStyles.h"

#include "SpinnerSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velquor::gtk {

namespace {

constexpr const char* kForegroundPrefix = "velquor-fg-";
constexpr const char* kBackgroundPrefix = "velquor-bg-";
// The platform's hairline under a navigation bar.
constexpr const char* kBaseRules = ".velquor-navigation-bar { border-bottom: 1px solid rgba(0,0,0,0.2); }\n";

int channel(double component) { return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255)); }

std::string hexName(const platform::UIColor& color) {
  char name[9];
  std::snprintf(name, sizeof name, "%02x%02x%02x%02x", channel(color.red()), channel(color.green()),
                channel(color.blue()), channel(color.alpha()));
  return name;
}

}  // namespace

ColorStyles::ColorStyles() : provider_(GObjectRef<GtkCssProvider>::adopt(gtk_css_provider_new())) {
  display_ = gdk_display_get_default();
  if (display_) {
    gtk_style_context_add_provider_for_display(display_, GTK_STYLE_PROVIDER(provider_.get()),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  reload();
}

ColorStyles::~ColorStyles() {
  if (display_) gtk_style_context_remove_provider_for_display(display_, GTK_STYLE_PROVIDER(provider_.get()));
}

std::string ColorStyles::cssColor(const platform::UIColor& color) {
  char text[64];
  std::snprintf(text, sizeof text, "rgba(%d,%d,%d,%.3f)", channel(color.red()), channel(color.green()),
                channel(color.blue()), std::clamp(color.alpha(), 0.0, 1.0));
  return text;
}

void ColorStyles::setForeground(GtkWidget* widget, const std::optional<platform::UIColor>& color) {
  setClass(widget, kForegroundPrefix, color);
}

void ColorStyles::setBackground(GtkWidget* widget, const std::optional<platform::UIColor>& color) {
  setClass(widget, kBackgroundPrefix, color);
}

void ColorStyles::setClass(GtkWidget* widget, const char* prefix, const std::optional<platform::UIColor>& color) {
  const std::string wanted = color ? prefix + hexName(*color) : std::string();
  char** classes = gtk_widget_get_css_classes(widget);
  for (char** name = classes; name && *name; ++name) {
    if (g_str_has_prefix(*name, prefix) && wanted != *name) gtk_widget_remove_css_class(widget, *name);
  }
  g_strfreev(classes);
  if (!color) return;

  const bool foreground = prefix == std::string(kForegroundPrefix);
  const std::string value = cssColor(*color);
  // The label of a button, and a spinner's symbolic icon, take the colour of the widget.
  const std::string rule = foreground
                               ? "." + wanted + ", ." + wanted + " label { color: " + value + "; }"
                               : "." + wanted + " { background-color: " + value + "; background-image: none; }";
  if (rules_.insert(rule).second) reload();
  gtk_widget_add_css_class(widget, wanted.c_str());
}

void ColorStyles::reload() {
  std::string css = kBaseRules + SpinnerSteps::css();
  for (const auto& rule : rules_) css += rule + "\n";
  gtk_css_provider_load_from_data(provider_.get(), css.c_str(), static_cast<gssize>(css.size()));
}

}  // namespace velquor::gtk
