#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/UIViewController.h>
#include <velquor/platform/WKWebView.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velquor::tool {

// What a checkout window tells the session, on its toolkit's event loop, and how its toolkit is set up.
struct CheckoutWindowEvents {
  // A page of the checkout's web view could not be loaded (the toolkit's loadFailed option).
  std::function<void(const std::string& url, const platform::NSError& error)> loadFailed;
  // The user or the window manager closed the window.
  std::function<void()> closed;
  // The toolkit runs the presentation's completion as the slide starts: the page loads under it.
  bool loadUnderSlide = false;
};

// The toolkit's part of a checkout session: an app window titled kWindowTitle with the app's own
// content, the toolkit installed over it, its event loop and its timers. Destroying it cancels the
// timers, uninstalls the toolkit and closes the window.
class CheckoutWindow {
 public:
  static constexpr const char* kWindowTitle = "Velquor checkout";
  static constexpr int kWidth = 420;
  static constexpr int kHeight = 760;

  virtual ~CheckoutWindow() = default;

  // The screen standing for the window's content: the checkout is presented from it.
  virtual std::shared_ptr<platform::UIViewController> screen() const = 0;
  // Calls `shown` each time a page other than the checkout's own form page has loaded in
  // `webView`, a page the engine could not load excepted. False when the view has no engine here.
  virtual bool watchPages(const platform::WKWebView& webView, std::function<void()> shown) = 0;
  // The toolkit's prewarm(): `ready` runs on the event loop once its engine process is up.
  virtual void prewarm(std::function<void()> ready) = 0;
  // Runs `action` once on the event loop after `delay`, unless the window is gone by then.
  virtual void after(std::chrono::milliseconds delay, std::function<void()> action) = 0;
  // Turns the event loop until `done` holds.
  virtual void runUntil(const std::function<bool()>& done) = 0;
  // Writes a PNG of the window as it is on screen now. Throws CommandFailure when it cannot.
  virtual void saveScreenshot(const std::string& path) = 0;
};

// The toolkits the checkout can run on, the default first.
const std::vector<std::string>& toolkitNames();

// The window of the toolkit named `toolkit`. Throws CommandFailure: 64 for a toolkit not in this
// build, 69 when there is no display (or the engine cannot run here).
std::unique_ptr<CheckoutWindow> openCheckoutWindow(const std::string& toolkit, CheckoutWindowEvents events);

std::unique_ptr<CheckoutWindow> openGtkCheckoutWindow(CheckoutWindowEvents events);
// In the Qt window's module, which the command loads when it is asked for Qt (a display is there).
std::unique_ptr<CheckoutWindow> openQtCheckoutWindow(CheckoutWindowEvents events);

// True when a display is reachable (DISPLAY or WAYLAND_DISPLAY is set).
bool displayAvailable();

}  // namespace velquor::tool
