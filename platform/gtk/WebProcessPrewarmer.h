#pragma once

#include "GObjectRef.h"

#include <webkit/webkit.h>

#include <functional>
#include <vector>

namespace velquor::gtk {

// Starts a web process ahead of the web views that will use it.
//
// WebKitGTK launches a web view's process only at the view's first load, one process per view; a
// view made unrelated to the others never reuses another's process (a hidden view in the same
// context does not help), while a view made with "related-view" set shares that view's process.
// So a prewarmer makes a hidden web view that loads a blank page at once, starting its process,
// and hands it out as the relative of web views made afterwards: their process is up, or on its
// way, before their own first load. A form post from the blank checkout page to the gateway stays
// in that process (no process swap from about:blank).
//
// The toolkit uses one for prewarm() (shared by every later web view), and otherwise one per web
// view, so that its process launches while the checkout slides in rather than after.
class WebProcessPrewarmer {
 public:
  // What happens when the process ends after it had its blank page up (a crash, the memory
  // limit, or an app terminating a web view's process that shares it).
  enum class AfterProcessEnd {
    restart,  // the hidden view loads its page again, starting a new process for later web views
    forget,   // the hidden view goes; later web views get processes of their own
  };

  WebProcessPrewarmer(WebKitWebContext* context, WebKitNetworkSession* session, AfterProcessEnd afterEnd);
  ~WebProcessPrewarmer();
  WebProcessPrewarmer(const WebProcessPrewarmer&) = delete;
  WebProcessPrewarmer& operator=(const WebProcessPrewarmer&) = delete;

  // Starts the hidden view unless it is there already. `ready` runs on a later turn of the main
  // loop once its process has loaded the blank page (or has ended trying).
  void prewarm(std::function<void()> ready);
  // The same, but the launch (which takes the main loop for tens of milliseconds) waits until the
  // main loop has nothing more urgent, such as a slide's first frame; startNow() ends the wait.
  void prewarmWhenIdle();
  void startNow();
  // The view new web views should be related to; null before prewarm() and once forgotten.
  WebKitWebView* relatedView() const { return view_.get(); }

 private:
  void makeView();
  void loadBlankPage();
  static gboolean deferredLoad(gpointer self);
  void finish();
  void forget();
  static void loadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static void processTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason, gpointer self);
  static gboolean restart(gpointer self);

  WebKitWebContext* context_;
  WebKitNetworkSession* session_;
  AfterProcessEnd afterEnd_;
  GObjectRef<WebKitWebView> view_;
  bool ready_ = false;
  guint restartSource_ = 0;
  guint deferredLoadSource_ = 0;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace velquor::gtk
