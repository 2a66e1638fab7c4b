#pragma once

#include <velquor/platform/UIColor.h>

#include <QColor>
#include <QPalette>

#include <optional>

class QWidget;

namespace velquor::qt {

QColor qColor(const platform::UIColor& color);
// Sets one role of the widget's palette to `color`; none gives the style's own back.
void setPaletteColor(QWidget* widget, QPalette::ColorRole role, const std::optional<platform::UIColor>& color);

}  // namespace velquor::qt
