#pragma once

// What the end-to-end suite does with a real toolkit: its app window and screen, its event loop,
// the page in a web view, the spinner, Cancel and the alert, the engine's processes and what is
// still alive. One implementation per toolkit; each test executable links one of them.

#include <velquor/platform/NSError.h>
#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebView.h>

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Long enough for a cold engine on a loaded machine, short enough to fail a hung test.
inline constexpr std::chrono::milliseconds kPatience = 30s;

// The spinner's widget as the screen shows it.
struct SpinnerOnScreen {
  bool shown = false;     // visible, and on screen when its window is
  bool spinning = false;  // its animation runs
};

// Where the spinner's widget sits: over the engine's widget, in its middle.
struct SpinnerPlacement {
  bool overTheEngine = false;  // a sibling of the engine stacked above it
  bool centred = false;
};

struct AlertButton {
  std::string label;
  bool destructive = false;
};

// The alert's dialog, once it is the only one visible.
struct AlertOnScreen {
  std::string text;
  std::vector<AlertButton> buttons;  // in their order on screen
};

// The engine's error for a fault the suite causes, as the toolkit reports it underneath.
struct EngineError {
  std::string domain;
  std::optional<long long> code;  // none: any code
};

enum class Fault { closedPort, untrustedCertificate };

// Web views and pages of the engine that are still alive (on WebKit a web view is its own page).
struct LiveEngines {
  std::size_t webViews = 0;
  std::size_t pages = 0;
  bool operator==(const LiveEngines&) const = default;
};

// A navigation the engine was asked to make, refused before it reached the network.
struct NavigationAttempt {
  std::string url;
  std::string method;
};

class ToolkitDriver {
 public:
  virtual ~ToolkitDriver() = default;

  // A fresh toolkit over the app window (made the first time); the window's screen controller.
  virtual std::shared_ptr<velquor::platform::UIViewController> makeToolkit(std::chrono::milliseconds transition) = 0;
  // The toolkits made from now on run a presentation's completion as its slide starts.
  bool presentationsCompleteAtStart = false;
  // The toolkit, then the window, go.
  virtual void tearDown() = 0;
  // The app destroys its window, under whatever is presented over it.
  virtual void destroyWindow() = 0;

  // Turns the event loop until `condition` holds or `timeout` passes; false on timeout.
  virtual bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience) = 0;
  void spinFor(std::chrono::milliseconds duration) {
    spinUntil([] { return false; }, duration);
  }

  // The value of `script` (statements; the last one's value counts) in the page's own world, as
  // JSON text; none on an error, for undefined or on timeout.
  virtual std::optional<std::string> evaluateJSON(const velquor::platform::WKWebView& webView,
                                                  const std::string& script) = 0;
  virtual bool isLoading(const velquor::platform::WKWebView& webView) = 0;
  // The engine still shows the form page the checkout loaded (not an error page of its own).
  virtual bool showsFormPage(const velquor::platform::WKWebView& webView) = 0;
  // `observer` hears, after the toolkit, each start (true) and end (false) of a main-frame load.
  virtual void observeLoads(const velquor::platform::WKWebView& webView, std::function<void(bool started)> observer) = 0;
  // Each failed load, as the toolkit's own loadFailed option hears of it.
  std::vector<std::string> failedLoads;

  virtual SpinnerOnScreen spinnerOnScreen(const velquor::platform::UIActivityIndicatorView& spinner) = 0;
  virtual SpinnerPlacement spinnerPlacement(const velquor::platform::UIActivityIndicatorView& spinner,
                                            const velquor::platform::WKWebView& webView) = 0;

  // The checkout's page covers the window / the app's own content is back.
  virtual bool showsCheckout(const velquor::platform::UIViewController& navigation) = 0;
  virtual bool showsAppContent() = 0;
  // A presentation or dismissal is sliding over the window now.
  virtual bool sliding() = 0;

  // The bar's title and its button's label; none when the bar is not on screen.
  virtual std::optional<std::pair<std::string, std::string>> barOnScreen(
      const velquor::platform::UINavigationController& navigation) = 0;
  // Clicks Cancel in the bar; false when there is no such button.
  virtual bool pressCancel(const velquor::platform::UINavigationController& navigation) = 0;
  // The alert's dialog when it is shown and the only dialog shown.
  virtual std::optional<AlertOnScreen> alertOnScreen(const velquor::platform::UIAlertController& alert) = 0;
  virtual bool anyAlertOnScreen() = 0;
  // Clicks the alert's button labelled `label`; false when there is none.
  virtual bool chooseAlertButton(const velquor::platform::UIAlertController& alert, const std::string& label) = 0;

  // The engine's processes that render `webView`'s page.
  virtual std::vector<pid_t> pageProcesses(const velquor::platform::WKWebView& webView) = 0;
  virtual LiveEngines liveEngines() = 0;

  // What the engine reports underneath for `fault`.
  virtual EngineError engineErrorFor(Fault fault) const = 0;

  // From now on every main-frame navigation of `webView` but to the toolkit's own form page is
  // refused before it reaches the network, and recorded in `attempts` (which outlives the view).
  virtual void refuseNavigations(const velquor::platform::WKWebView& webView, std::vector<NavigationAttempt>& attempts) = 0;
  // The address of the form page the checkout loads, as a navigation attempt names it.
  virtual bool isFormPageAddress(const std::string& url) const = 0;
};

// The driver of the toolkit this executable was built for, and that toolkit's name.
std::unique_ptr<ToolkitDriver> makeToolkitDriver();
const char* toolkitName();

}  // namespace e2e
