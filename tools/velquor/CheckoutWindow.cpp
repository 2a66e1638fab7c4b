#include "CheckoutWindow.h"

#include "CommandFailure.h"

#include <cstdlib>

namespace velquor::tool {

const std::vector<std::string>& toolkitNames() {
  static const std::vector<std::string> names{"gtk", "qt"};
  return names;
}

std::unique_ptr<CheckoutWindow> openCheckoutWindow(const std::string& toolkit, CheckoutWindowEvents events) {
  if (toolkit == "gtk") return openGtkCheckoutWindow(std::move(events));
  if (toolkit == "qt") {
#if VELQUOR_TOOL_HAS_QT
    return openQtCheckoutWindow(std::move(events));
#else
    throw CommandFailure(kExitUsage, "this velquor was built without the Qt toolkit (Qt 6 WebEngine was not found); use --toolkit gtk");
#endif
  }
  throw CommandFailure(kExitUsage, "unknown toolkit " + toolkit);
}

bool displayAvailable() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace velquor::tool
