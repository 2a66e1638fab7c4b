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
// The toolkit uses one for prewarm(), shared by every later web view. When the process ends after it
// had its blank page up (a crash, the memory limit, or an app terminating a web view's process that
// shares it), the hidden view loads its page again, starting a new process for later web views.
class WebProcessPrewarmer {
 public:
  WebProcessPrewarmer(WebKitWebContext* context, WebKitNetworkSession* session);
  ~WebProcessPrewarmer();
  WebProcessPrewarmer(const WebProcessPrewarmer&) = delete;
  WebProcessPrewarmer& operator=(const WebProcessPrewarmer&) = delete;

  // Starts the hidden view unless it is there already. `ready` runs on a later turn of the main
  // loop once its process has loaded the blank page (or has ended trying).
  void prewarm(std::function<void()> ready);
  // The view new web views should be related to; null before prewarm() and once forgotten.
  WebKitWebView* relatedView() const { return view_.get(); }

 private:
  void makeView();
  void loadBlankPage();
  void finish();
  void forget();
  static void loadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static void processTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason, gpointer self);
  static gboolean restart(gpointer self);

  WebKitWebContext* context_;
  WebKitNetworkSession* session_;
  GObjectRef<WebKitWebView> view_;
  bool ready_ = false;
  guint restartSource_ = 0;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace velquor::gtk
