#include "DisplayWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <thread>

namespace e2e {

namespace {

bool titled(Display* display, Window window, const std::string& title) {
  XTextProperty name;
  if (!XGetWMName(display, window, &name) || !name.value) return false;
  const bool same = title == reinterpret_cast<const char*>(name.value);
  XFree(name.value);
  return same;
}

Window findTitled(Display* display, const std::string& title) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    if (titled(display, children[i], title)) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

bool closeWindowTitled(const std::string& title, std::chrono::milliseconds timeout) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Window window = 0;
  while (!(window = findTitled(display, title)) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
  }
  XCloseDisplay(display);
  return window != 0;
}

}  // namespace e2e
