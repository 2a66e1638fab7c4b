#pragma once

#include <string>

typedef struct _GtkWidget GtkWidget;

namespace velquor::tool {

// Renders `widget` as it is on screen now (children included: bar, web page, spinner) into a PNG
// file. Throws CommandFailure when it cannot.
void saveWidgetSnapshot(GtkWidget* widget, const std::string& path);

}  // namespace velquor::tool
