#include "GtkToolkit.h"

#include "BlockedLoad.h"
#include "GtkToolkitState.h"
#include "MainLoop.h"
#include "WebKitWebViewPeer.h"
#include "WindowHost.h"

#include <velquor/platform/NSLog.h>
#include <velquor/platform/WindowPresentations.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace velquor::gtk {

using platform::CGRect;
using platform::UIViewController;

GtkToolkit::GtkToolkit(GtkToolkitOptions options) {
  if (!gtk_is_initialized()) throw std::logic_error("GtkToolkit needs GTK to be initialised first (gtk_init)");
  state_ = std::make_unique<GtkToolkitState>(options);
  // Assistive technologies know an app by its program name, which GTK leaves unset (reading
  // "Unnamed") unless the app or a GApplication set it; an app's own name stays.
  if (!g_get_prgname()) g_set_prgname(program_invocation_short_name);
  // The kit's warnings join the app's GLib log, as GTK's own do.
  state_->previousLogHandler = platform::setNSLogHandler(
      [](const std::string& message) { g_log("velquor", G_LOG_LEVEL_WARNING, "%s", message.c_str()); });
  state_->webContext = GObjectRef<WebKitWebContext>::adopt(webkit_web_context_new());
  // Before any web process starts: each one loads the extension that reports refused loads.
  if (const auto extensions = webProcessExtensionDirectory(); !extensions.empty()) {
    webkit_web_context_set_web_process_extensions_directory(state_->webContext.get(), extensions.c_str());
  } else {
    g_warning("velquor: the web process extension is missing; loads WebKit refuses will not be reported");
  }
  state_->networkSession =
      options.ephemeralNetworkSession ? GObjectRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral())
                                      : GObjectRef<WebKitNetworkSession>::retain(webkit_network_session_get_default());
}

GtkToolkit::~GtkToolkit() {
  // What is shown goes with the toolkit that shows it; the dismissals complete on the main loop.
  const auto shown = state_->hosts;
  for (const auto& host : shown) {
    if (host->rootViewController()->presentedViewController()) {
      host->rootViewController()->dismissViewControllerAnimated(false, nullptr);
    }
  }
  auto hosts = std::move(state_->hosts);
  state_->hosts.clear();
  for (const auto& host : hosts) {
    if (host->window()) g_signal_handlers_disconnect_by_func(host->window(), reinterpret_cast<gpointer>(windowDestroyed), this);
  }
  hosts.clear();  // each window gets its own content back
  platform::setNSLogHandler(std::move(state_->previousLogHandler));
}

std::shared_ptr<UIViewController> GtkToolkit::rootViewControllerForWindow(GtkWindow* window) {
  if (!window) return nullptr;
  for (const auto& host : state_->hosts) {
    if (host->window() == window) return host->rootViewController();
  }
  auto host = std::make_shared<WindowHost>(window, *state_);
  g_signal_connect(window, "destroy", G_CALLBACK(windowDestroyed), this);
  state_->hosts.push_back(host);
  return host->rootViewController();
}

void GtkToolkit::forgetWindow(GtkWindow* window) {
  auto it = std::find_if(state_->hosts.begin(), state_->hosts.end(),
                         [window](const auto& host) { return host->window() == window; });
  if (it == state_->hosts.end()) return;
  auto host = *it;
  host->windowGone();
  // Nothing can be seen over a window that is gone: dismiss it, so that the screens presented
  // over it run their disappearance (the checkout drops its script-message registration there)
  // and everything they hold is let go.
  if (host->rootViewController()->presentedViewController()) {
    host->rootViewController()->dismissViewControllerAnimated(false, nullptr);
  }
  state_->hosts.erase(std::find(state_->hosts.begin(), state_->hosts.end(), host));
}

void GtkToolkit::windowDestroyed(GtkWidget* window, void* toolkit) {
  static_cast<GtkToolkit*>(toolkit)->forgetWindow(GTK_WINDOW(window));
}

GtkWidget* GtkToolkit::widgetForView(const platform::UIView& view) const {
  auto it = state_->widgets.find(&view);
  return it == state_->widgets.end() ? nullptr : it->second;
}

GtkWidget* GtkToolkit::widgetForViewController(const UIViewController& controller) const {
  auto it = state_->widgets.find(&controller);
  return it == state_->widgets.end() ? nullptr : it->second;
}

WebKitWebView* GtkToolkit::webKitWebView(const platform::WKWebView& webView) {
  auto* peer = dynamic_cast<WebKitWebViewPeer*>(webView.peer());
  return peer ? peer->engine() : nullptr;
}

WebKitWebContext* GtkToolkit::webContext() const { return state_->webContext.get(); }

WebKitNetworkSession* GtkToolkit::networkSession() const { return state_->networkSession.get(); }

void GtkToolkit::prewarm(std::function<void()> ready) {
  if (!state_->prewarmer) {
    state_->prewarmer = std::make_unique<WebProcessPrewarmer>(state_->webContext.get(), state_->networkSession.get());
  }
  state_->prewarmer->prewarm(std::move(ready));
}

std::size_t GtkToolkit::liveWebViewCount() { return WebKitWebViewPeer::liveCount(); }

CGRect GtkToolkit::screenBounds() const {
  int width = 0;
  int height = 0;
  if (!state_->hosts.empty() && state_->hosts.back()->window()) {
    GtkWidget* window = GTK_WIDGET(state_->hosts.back()->window());
    width = gtk_widget_get_width(window);
    height = gtk_widget_get_height(window);
    if (width <= 0 || height <= 0) gtk_window_get_default_size(GTK_WINDOW(window), &width, &height);
  }
  return platform::windowScreenBounds(width, height);
}

bool GtkToolkit::presentViewController(const std::shared_ptr<UIViewController>& presenting,
                                     const std::shared_ptr<UIViewController>& presented, bool animated,
                                     std::function<void()> didPresent) {
  return platform::presentInWindow(state_->hosts, presenting, presented, animated, std::move(didPresent),
                                   [] { g_warning("%s", platform::kNotInAnyWindowWarning); });
}

void GtkToolkit::dismissViewController(const std::shared_ptr<UIViewController>& presenting,
                                     const std::shared_ptr<UIViewController>& presented, bool animated,
                                     std::function<void()> didDismiss) {
  platform::dismissInWindow(state_->hosts, presenting, presented, animated, std::move(didDismiss),
                            [](std::function<void()> task) { postToMainLoop(std::move(task)); });
}

std::unique_ptr<platform::WebViewPeer> GtkToolkit::makeWebViewPeer(platform::WKWebView& webView) {
  WebKitWebView* shared = state_->prewarmer ? state_->prewarmer->relatedView() : nullptr;
  return std::make_unique<WebKitWebViewPeer>(webView, state_->webContext.get(), state_->networkSession.get(), shared,
                                             state_->options.loadFailed);
}

}  // namespace velquor::gtk
