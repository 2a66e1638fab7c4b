#include "CheckoutWindow.h"

#include "CommandFailure.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace velquor::tool {

namespace {

#if VELQUOR_TOOL_HAS_QT
using OpenQtWindow = CheckoutWindow* (*)(CheckoutWindowEvents*);

// The Qt window's module, loaded once and kept: Qt cannot be unloaded.
OpenQtWindow qtWindowOpener() {
  std::string self(4096, '\0');
  const auto length = ::readlink("/proc/self/exe", self.data(), self.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= self.size()) {
    throw CommandFailure(kExitSoftware, "cannot find this program's own path");
  }
  self.resize(static_cast<std::size_t>(length));
  const std::string folder = self.substr(0, self.rfind('/') + 1);
  std::istringstream candidates(VELQUOR_TOOL_QT_WINDOW_MODULES);
  std::string errors;
  for (std::string candidate; std::getline(candidates, candidate, ':');) {
    const std::string path = folder + candidate;
    if (::access(path.c_str(), F_OK) != 0) continue;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      errors += std::string("; ") + ::dlerror();
      continue;
    }
    if (auto* open = reinterpret_cast<OpenQtWindow>(::dlsym(module, "velquorOpenQtCheckoutWindow"))) return open;
    errors += "; " + path + " has no Qt window";
  }
  throw CommandFailure(kExitUnavailable, "cannot load the Qt toolkit's window module" + errors);
}
#endif

}  // namespace

const std::vector<std::string>& toolkitNames() {
  static const std::vector<std::string> names{"gtk", "qt"};
  return names;
}

std::unique_ptr<CheckoutWindow> openCheckoutWindow(const std::string& toolkit, CheckoutWindowEvents events) {
  if (toolkit == "gtk") return openGtkCheckoutWindow(std::move(events));
  if (toolkit == "qt") {
#if VELQUOR_TOOL_HAS_QT
    if (!displayAvailable()) {
      throw CommandFailure(kExitUnavailable, "no display to show the checkout on; run it under a virtual one: xvfb-run -a velquor ...");
    }
    static const OpenQtWindow open = qtWindowOpener();
    return std::unique_ptr<CheckoutWindow>(open(&events));
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
