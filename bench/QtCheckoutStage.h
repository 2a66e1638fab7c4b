#pragma once

// One app window under the Qt toolkit, a sandbox gateway that answers every payment post with a
// page posting "success" on load, and the two ways to reach it: a library's checkout, and the bare
// QWebEngineView that bounds it (the floor).

#include "CheckoutMeasures.h"
#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <CheckoutLibrary.h>
#include <velquor/qt/QtToolkit.h>

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QVBoxLayout;

namespace bench {

using velquor::adapter::Library;
using velquor::adapter::libraryName;
using velquor::adapter::libraryNamed;
using velquor::adapter::moduleName;

// Turns the Qt event loop until `condition` holds or `timeout` passes; false on timeout.
bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Turns the event loop for `duration`, whatever happens.
void spinFor(std::chrono::milliseconds duration);

class QtCheckoutStage {
 public:
  // Needs the QApplication. Shows the window and waits until it is exposed. `transition`: how long
  // the toolkit slides a checkout in and out; none, the toolkit's default.
  explicit QtCheckoutStage(StageSettings settings = {});
  ~QtCheckoutStage();
  QtCheckoutStage(const QtCheckoutStage&) = delete;
  QtCheckoutStage& operator=(const QtCheckoutStage&) = delete;

  velquor::qt::QtToolkit& toolkit() { return *toolkit_; }

  // From the launcher call, as an app makes it. Once the delegate has the result, `whileOpen` runs
  // (if given), then the checkout is dismissed (animated) and the stage settles before returning.
  CheckoutTiming checkout(Library library, const std::function<void()>& whileOpen = {});
  // From the making of a bare QWebEngineView (same profile, so the same settings and user agent;
  // same window) that loads the page `library`'s checkout loads with setHtml and hears the result
  // through a console message its own stand-in for the script-message handler writes. `whileOpen`
  // runs once it has; removed and settled before returning.
  CheckoutTiming floor(Library library, const std::function<void()>& whileOpen = {});

  // The page `library`'s launcher loads into its web view for this gateway, taken by presenting
  // the checkout once on the headless toolkit.
  const std::string& formPage(Library library);

 private:
  // Waits until every page of the last run is gone and no more renderers run than before it.
  void settle(std::size_t renderersBefore);

  QPointer<QWidget> window_;
  QVBoxLayout* appContent_ = nullptr;
  std::unique_ptr<velquor::qt::QtToolkit> toolkit_;
  std::shared_ptr<velquor::platform::UIViewController> screen_;
  velquor_testing::SandboxRecorder posts_{4};
  velquor::sandbox::SandboxGateway gateway_;
  std::map<Library, std::unique_ptr<velquor::adapter::CheckoutLibrary>> libraries_;
  std::map<Library, std::string> formPages_;
  std::size_t liveFloorPages_ = 0;
};

}  // namespace bench
