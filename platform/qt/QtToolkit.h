#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/Toolkit.h>
#include <velquor/platform/UIView.h>
#include <velquor/platform/UIViewController.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/qt/VelquorQtExport.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// The Qt types this interface names; an app includes Qt's headers itself.
class QWidget;
class QWebEngineView;
class QWebEngineProfile;

namespace velquor::qt {

struct QtToolkitState;
class WindowHost;

struct QtToolkitOptions {
  // How long a slide lasts from the present or dismiss call (loading the presented view is part of
  // it); zero switches at once. Either way the completion runs on a later turn of the event loop.
  std::chrono::milliseconds transitionDuration{300};
  // Opt-in: an animated presentation's completion runs as its slide starts (on the next turn of
  // the event loop) rather than once it has ended, so that what it starts (a checkout's page load)
  // runs under the slide. Focus still moves onto the page when the slide ends. A dismissal during
  // the slide turns it back from where it is.
  bool presentationCompletesAtStart = false;
  // Told of every page load of a web view that fails, whatever the reason (a refused connection,
  // TLS, a port or scheme the engine refuses), with the address and the engine's error; not of
  // one that another navigation replaced. On the event loop, before the web view's navigation
  // delegate hears of it.
  std::function<void(const std::string& url, const platform::NSError& error)> loadFailed;
};

// The toolkit on Qt 6 Widgets and Qt WebEngine. Create it on the GUI thread after the
// QApplication and keep it for as long as checkouts may be shown; creating it installs it as the
// current toolkit, destroying it uninstalls it and gives every window its own content back.
//
//   velquor::qt::QtToolkit toolkit;
//   auto screen = toolkit.rootViewControllerForWindow(&window);
//   VelquorKit::Velquor::presentVelquorContorller(screen, "", params, delegate);
//
// A controller presented over a window's root controller covers the window's content, sliding up;
// an alert is a window-modal message box. Every web view of one toolkit shares one off-the-record
// profile: cookies and caches live in memory only.
//
// The library registers its URL scheme with Qt WebEngine when it is loaded, which must happen
// before the QApplication is made (linking it, as usual, does that).
class VELQUOR_QT_EXPORT QtToolkit final : public platform::Toolkit {
 public:
  // Throws std::logic_error when there is no QApplication yet.
  explicit QtToolkit(QtToolkitOptions options = {});
  // Dismisses whatever is presented over its windows and gives each window its own content back.
  ~QtToolkit() override;

  // The screen standing for `window`'s own content: present from it to cover the window. The same
  // window gives the same controller. When the window is destroyed, whatever is presented over it
  // is dismissed and let go.
  std::shared_ptr<platform::UIViewController> rootViewControllerForWindow(QWidget* window);

  // The widget that shows a model view right now: a WKWebView's QWebEngineView, a spinner's
  // spinner, a navigation bar's bar; null when the view is not on screen.
  QWidget* widgetForView(const platform::UIView& view) const;
  // The page that shows a presented controller, or the message box of a presented alert; null
  // when the controller is not presented.
  QWidget* widgetForViewController(const platform::UIViewController& controller) const;
  // The engine of a web view created while a QtToolkit was installed; null for any other.
  static QWebEngineView* webEngineView(const platform::WKWebView& webView);

  // The off-the-record profile every web view of this toolkit shares.
  QWebEngineProfile* profile() const;

  // Opt-in, for an app's start-up: starts a renderer now, so that the first checkout does not wait
  // for one to launch. Qt WebEngine gives each page a renderer of its own and never lends one to
  // another page, so the toolkit keeps a hidden spare page on its profile holding a blank document;
  // the next web view it makes takes that page (its renderer up) instead of making one, and a new
  // spare is started once that web view's page has gone. A web view made while the spare is still
  // loading, or while the one taken is still in use, gets a page of its own as without prewarm().
  // `ready` runs on a later turn of the event loop once the spare has loaded its blank page, and is
  // dropped when the toolkit goes first. Calling it again while a spare is ready costs nothing
  // (`ready` still runs). If the spare's renderer ends once up (a crash), the spare loads its page
  // again in a new one. The spare goes with the toolkit.
  void prewarm(std::function<void()> ready = {});
  // Hidden spare pages of prewarm() not yet taken by a web view, in this process; they are not
  // among livePageCount().
  static std::size_t prewarmedPageCount();

  // QWebEngineViews and QWebEnginePages of the WKWebViews made by Qt toolkits and not yet
  // destroyed, in this process.
  static std::size_t liveWebViewCount();
  static std::size_t livePageCount();

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
  void forgetWindow(QWidget* window);

  std::unique_ptr<QtToolkitState> state_;
};

}  // namespace velquor::qt
