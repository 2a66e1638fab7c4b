#pragma once

// One app window under the GTK toolkit, a sandbox gateway that answers every payment post with a
// page posting "success" on load, and the two ways to reach it: a library's checkout, and the bare
// WebKitGTK web view that bounds it (the floor).

#include "CheckoutMeasures.h"

#include <GtkProcessWatch.h>
#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <CheckoutLibrary.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace bench {

using velquor::adapter::Library;
using velquor::adapter::libraryName;
using velquor::adapter::libraryNamed;
using velquor::adapter::moduleName;

// The main loop and the web processes, from the helpers the GTK tests use.
using velquor_testing::ownWebProcessCount;
using velquor_testing::spinFor;
using velquor_testing::spinUntil;

class CheckoutStage {
 public:
  // Needs GTK initialised. Shows the window and waits until it is mapped. `settings.transition`: how long the
  // toolkit slides a checkout in and out; none, the toolkit's default.
  explicit CheckoutStage(StageSettings settings = {});
  ~CheckoutStage();
  CheckoutStage(const CheckoutStage&) = delete;
  CheckoutStage& operator=(const CheckoutStage&) = delete;

  velquor::gtk::GtkToolkit& toolkit() { return *toolkit_; }

  // From the launcher call, as an app makes it. Once the delegate has the result, the checkout is
  // dismissed (animated, as an app does) and the stage settles before returning. `whileOpen` runs
  // (if given) between the result and the dismissal.
  CheckoutTiming checkout(Library library, const std::function<void()>& whileOpen = {});
  // The same as an app runs checkouts back to back: dismissed from within the delegate's call, and
  // over once the dismissal has ended, without waiting for the web view and web process to go.
  CheckoutTiming checkoutDismissedByDelegate(Library library);
  // From the making of a bare WebKitWebView (same context, session, user agent and window) that
  // loads the page `library`'s checkout loads and hears the result through its own script-message
  // handler. `whileOpen` runs once it has; removed and settled before returning.
  CheckoutTiming floor(Library library, const std::function<void()>& whileOpen = {});

  // The page `library`'s launcher loads into its web view for this gateway, taken by presenting
  // the checkout once on the headless toolkit.
  const std::string& formPage(Library library);

 private:
  CheckoutTiming timedCheckout(Library library, bool dismissFromDelegate, const std::function<void()>& whileOpen = {});
  // Waits until every web view of the last run is finalised and no more web processes run than
  // before it.
  void settle(std::size_t webProcessesBefore);

  GtkWidget* window_ = nullptr;
  GtkWidget* appContent_ = nullptr;
  std::unique_ptr<velquor::gtk::GtkToolkit> toolkit_;
  std::shared_ptr<velquor::platform::UIViewController> screen_;
  // The last few payment posts: a run's timing needs only its own. Outlives the gateway.
  velquor_testing::SandboxRecorder posts_{4};
  velquor::sandbox::SandboxGateway gateway_;
  // Each library with the typical parameters loaded.
  std::map<Library, std::unique_ptr<velquor::adapter::CheckoutLibrary>> libraries_;
  std::map<Library, std::string> formPages_;
  std::size_t liveFloorViews_ = 0;
};

}  // namespace bench
