#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace gtk_test {

// Whether keys can be pressed as a user does: through an X server (GDK on X11, xdotool).
bool canPressKeys();

// Presses `keys` (X key names: "Escape", "ctrl+Escape", ...) through the X server, after giving
// `focusFirst` (if any) the X keyboard focus; GTK hears of them when its main loop next turns.
bool pressKeys(GtkWindow* focusFirst, const std::vector<std::string>& keys);

}  // namespace gtk_test
