#include "GtkKeys.h"

// Xlib's macros (None, Status, ...) stay in this file.
#include <gdk/x11/gdkx.h>

namespace gtk_test {

bool canPressKeys() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return false;
  gchar* xdotool = g_find_program_in_path("xdotool");
  const bool found = xdotool != nullptr;
  g_free(xdotool);
  return found;
}

bool pressKeys(GtkWindow* focusFirst, const std::vector<std::string>& keys) {
  std::vector<std::string> arguments{"xdotool"};
  if (focusFirst) {
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(focusFirst));
    if (!surface || !GDK_IS_X11_SURFACE(surface)) return false;
    arguments.insert(arguments.end(), {"windowfocus", "--sync", std::to_string(gdk_x11_surface_get_xid(surface))});
  }
  arguments.insert(arguments.end(), {"key", "--delay", "100"});
  arguments.insert(arguments.end(), keys.begin(), keys.end());
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int status = -1;
  const gboolean ran = g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                                    nullptr, &status, nullptr);
  return ran && g_spawn_check_wait_status(status, nullptr);
}

}  // namespace gtk_test
