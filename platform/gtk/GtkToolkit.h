#pragma once

#include <velquor/gtk/VelquorGtkExport.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/Toolkit.h>
#include <velquor/platform/UIView.h>
#include <velquor/platform/UIViewController.h>
#include <velquor/platform/WKWebView.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// The GTK and WebKit types this interface names; an app includes <gtk/gtk.h> itself.
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace velquor::gtk {

struct GtkToolkitState;
class WindowHost;

struct GtkToolkitOptions {
  // How long a slide lasts from the present or dismiss call (loading the presented view is part of
  // it); zero switches at once. Either way the completion runs on a later turn of the main loop.
  std::chrono::milliseconds transitionDuration{300};
  // Opt-in: an animated presentation's completion runs as its slide starts (on the next turn of
  // the main loop) rather than once it has ended, so that what it starts (a checkout's page load)
  // runs under the slide. Focus still moves onto the page when the slide ends. A dismissal during
  // the slide turns it back.
  bool presentationCompletesAtStart = false;
  // Web views keep cookies and caches in memory only (tests, kiosks) instead of the user's data directory.
  bool ephemeralNetworkSession = false;
  // Told of every page load of a web view that fails, whatever the reason (a refused connection,
  // TLS, a port or scheme the engine refuses), with the address and the engine's error; not of
  // one that another navigation replaced. On the main loop, before the web view's navigation
  // delegate hears of it.
  std::function<void(const std::string& url, const platform::NSError& error)> loadFailed;
};

// The toolkit on GTK 4 and WebKitGTK 6.0. Create it on the main thread after GTK is initialised
// and keep it for as long as checkouts may be shown; creating it installs it as the current
// toolkit, destroying it uninstalls it and gives every window its own content back.
//
//   velquor::gtk::GtkToolkit toolkit;
//   auto screen = toolkit.rootViewControllerForWindow(GTK_WINDOW(window));
//   VelquorKit::Velquor::presentVelquorContorller(screen, "", params, delegate);
//
// A controller presented over a window's root controller covers the window's content, sliding up;
// an alert is a modal dialog over the window. Everything runs on the GTK main loop.
class VELQUOR_GTK_EXPORT GtkToolkit final : public platform::Toolkit {
 public:
  // Throws std::logic_error when GTK has not been initialised.
  explicit GtkToolkit(GtkToolkitOptions options = {});
  // Dismisses whatever is presented over its windows (completing on the main loop) and gives
  // each window its own content back.
  ~GtkToolkit() override;

  // The screen standing for `window`'s own content: present from it to cover the window. The
  // window's child at the first call becomes that content (do not replace the window's child
  // afterwards; change what is inside it instead). The same window gives the same controller.
  // When the window is destroyed, whatever is presented over it is dismissed and let go.
  std::shared_ptr<platform::UIViewController> rootViewControllerForWindow(GtkWindow* window);

  // The widget that shows a model view right now: a WKWebView's WebKitWebView, a spinner's
  // GtkSpinner, a navigation bar's bar; null when the view is not on screen.
  GtkWidget* widgetForView(const platform::UIView& view) const;
  // The page that shows a presented controller, or the dialog of a presented alert; null when
  // the controller is not presented.
  GtkWidget* widgetForViewController(const platform::UIViewController& controller) const;
  // The engine of a web view created while a GtkToolkit was installed; null for any other.
  static WebKitWebView* webKitWebView(const platform::WKWebView& webView);

  // The process and network session every web view of this toolkit shares.
  WebKitWebContext* webContext() const;
  WebKitNetworkSession* networkSession() const;

  // Opt-in, for an app's start-up: starts a web process now, so that the first checkout does not
  // wait for one to launch. Without it each web view gets a process of its own, launched as the web
  // view is made (so while a checkout slides in); after prewarm() every web view this toolkit makes
  // shares the one process it started, which stays up (a hidden web view holding a blank page) for
  // as long as the toolkit. `ready` runs on a later turn of the main loop once that process has
  // loaded its page, and is dropped when the toolkit goes first. Calling it again while prewarmed
  // costs nothing (`ready` still runs). If the process ends once up (a crash), the toolkit starts
  // another in its place.
  void prewarm(std::function<void()> ready = {});

  // WebKitWebViews of the WKWebViews made by GTK toolkits and not yet finalised, in this process;
  // the hidden one of prewarm() is not among them.
  static std::size_t liveWebViewCount();

  // platform::Toolkit
  platform::CGRect screenBounds() const override;
  bool presentViewController(const std::shared_ptr<platform::UIViewController>& presenting,
                             const std::shared_ptr<platform::UIViewController>& presented, bool animated,
                             std::function<void()> didPresent) override;
  void dismissViewController(const std::shared_ptr<platform::UIViewController>& presenting,
                             const std::shared_ptr<platform::UIViewController>& presented, bool animated,
                             std::function<void()> didDismiss) override;
  std::unique_ptr<platform::WebViewPeer> makeWebViewPeer(platform::WKWebView& webView) override;

 private:
  void forgetWindow(GtkWindow* window);
  static void windowDestroyed(GtkWidget* window, void* toolkit);

  std::unique_ptr<GtkToolkitState> state_;
};

}  // namespace velquor::gtk
