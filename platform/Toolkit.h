#pragma once

#include <velquor/platform/CGGeometry.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <functional>
#include <memory>

namespace velquor::platform {

class UIViewController;
class WKWebView;
class WebViewPeer;

// A toolkit shows the model objects of this contract on a real or an in-memory screen.
// An app installs exactly one (the headless one in tests, the GTK one on a desktop); the checkout
// libraries only ever talk to the model objects, which call the installed toolkit.
class VELQUOR_PLATFORM_EXPORT Toolkit {
 public:
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;
  virtual ~Toolkit();

  // The installed toolkit, or null: model objects then work on their own and nothing is shown.
  static Toolkit* current() noexcept;

  // The size of a screen's content; root views are created with it.
  virtual CGRect screenBounds() const = 0;

  // Shows `presented` over `presenting` and returns true; calls `didPresent` once, later, on the main
  // loop, when the transition has ended. False when it cannot show it (the presenting screen is in
  // no window, say): then nothing is shown and `didPresent` never runs.
  virtual bool presentViewController(const std::shared_ptr<UIViewController>& presenting,
                                     const std::shared_ptr<UIViewController>& presented, bool animated,
                                     std::function<void()> didPresent) = 0;
  // Takes `presented` (and whatever it presents) off the screen; calls `didDismiss` once, later.
  virtual void dismissViewController(const std::shared_ptr<UIViewController>& presenting,
                                     const std::shared_ptr<UIViewController>& presented, bool animated,
                                     std::function<void()> didDismiss) = 0;

  // The engine side of a new web view. Called from the web view's constructor: the peer may keep
  // the reference (the web view owns the peer) but must not call back into it yet.
  virtual std::unique_ptr<WebViewPeer> makeWebViewPeer(WKWebView& webView) = 0;

 protected:
  // Installs this toolkit as the current one; the destructor restores the one installed before.
  Toolkit();
};

// Screen bounds of the installed toolkit, or a phone-sized default without one.
VELQUOR_PLATFORM_EXPORT CGRect currentScreenBounds();

}  // namespace velquor::platform
