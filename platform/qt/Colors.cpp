#include "Colors.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace velquor::qt {

QColor qColor(const platform::UIColor& color) {
  auto unit = [](double value) { return std::clamp(value, 0.0, 1.0); };
  return QColor::fromRgbF(static_cast<float>(unit(color.red())), static_cast<float>(unit(color.green())),
                          static_cast<float>(unit(color.blue())), static_cast<float>(unit(color.alpha())));
}

void setPaletteColor(QWidget* widget, QPalette::ColorRole role, const std::optional<platform::UIColor>& color) {
  QPalette palette = widget->palette();
  const QColor value = color ? qColor(*color) : QApplication::palette(widget).color(role);
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) palette.setColor(group, role, value);
  widget->setPalette(palette);
}

}  // namespace velquor::qt
