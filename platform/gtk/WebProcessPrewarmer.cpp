#include "WebProcessPrewarmer.h"

#include "MainLoop.h"

#include <utility>

namespace velquor::gtk {

namespace {

constexpr const char* kBlankPage = "about:blank";

}  // namespace

WebProcessPrewarmer::WebProcessPrewarmer(WebKitWebContext* context, WebKitNetworkSession* session)
    : context_(context), session_(session) {}

WebProcessPrewarmer::~WebProcessPrewarmer() {
  if (restartSource_ != 0) g_source_remove(restartSource_);
  // Callbacks still waiting belong to a toolkit that is going away: they are dropped, not run.
  if (view_) g_signal_handlers_disconnect_by_data(view_.get(), this);
}

void WebProcessPrewarmer::prewarm(std::function<void()> ready) {
  if (view_ && ready_) {
    postToMainLoop(std::move(ready));
    return;
  }
  waiting_.push_back(std::move(ready));
  if (view_) return;  // on its way
  makeView();
  loadBlankPage();
}

void WebProcessPrewarmer::makeView() {
  // Never shown, so nothing of it is drawn.
  view_ = GObjectRef<WebKitWebView>::retain(WEBKIT_WEB_VIEW(
      g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context_, "network-session", session_, nullptr)));
  g_signal_connect(view_.get(), "load-changed", G_CALLBACK(loadChanged), this);
  g_signal_connect(view_.get(), "web-process-terminated", G_CALLBACK(processTerminated), this);
}

void WebProcessPrewarmer::loadBlankPage() {
  // WebKit starts the process for a view's first load (or its first after the process ended).
  webkit_web_view_load_uri(view_.get(), kBlankPage);
}

void WebProcessPrewarmer::finish() {
  auto waiting = std::exchange(waiting_, {});
  for (auto& ready : waiting) postToMainLoop(std::move(ready));
}

void WebProcessPrewarmer::forget() {
  g_signal_handlers_disconnect_by_data(view_.get(), this);
  // Called from the view's own signal: let it go on a later turn.
  postToMainLoop([view = std::exchange(view_, {})] {});
  ready_ = false;
  finish();
}

void WebProcessPrewarmer::loadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  auto* prewarmer = static_cast<WebProcessPrewarmer*>(self);
  prewarmer->ready_ = true;
  prewarmer->finish();
}

void WebProcessPrewarmer::processTerminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self) {
  auto* prewarmer = static_cast<WebProcessPrewarmer*>(self);
  // A process that never got its blank page up is not started again: that could go on forever.
  if (!prewarmer->ready_) {
    prewarmer->forget();
    return;
  }
  prewarmer->ready_ = false;
  if (prewarmer->restartSource_ == 0) prewarmer->restartSource_ = g_idle_add(restart, prewarmer);
}

gboolean WebProcessPrewarmer::restart(gpointer self) {
  auto* prewarmer = static_cast<WebProcessPrewarmer*>(self);
  prewarmer->restartSource_ = 0;
  prewarmer->loadBlankPage();
  return G_SOURCE_REMOVE;
}

}  // namespace velquor::gtk
