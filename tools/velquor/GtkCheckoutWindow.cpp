// The checkout window on GTK 4 and WebKitGTK.

#include "CheckoutWindow.h"
#include "CommandFailure.h"
#include "WindowSnapshot.h"

#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <optional>
#include <set>
#include <string_view>

namespace velquor::tool {

namespace {

class GtkCheckoutWindow final : public CheckoutWindow {
 public:
  explicit GtkCheckoutWindow(CheckoutWindowEvents events) : events_(std::move(events)) {
    window_ = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(window_), kWindowTitle);
    gtk_window_set_default_size(GTK_WINDOW(window_), kWidth, kHeight);
    gtk_window_set_child(GTK_WINDOW(window_), gtk_label_new("Merchant app"));
    windowDestroyed_ = g_signal_connect(window_, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer data) {
      auto& self = *static_cast<GtkCheckoutWindow*>(data);
      self.windowClosed_ = true;
      self.events_.closed();
    }), this);
    gtk_window_present(GTK_WINDOW(window_));

    gtk::GtkToolkitOptions options;
    options.presentationCompletesAtStart = events_.loadUnderSlide;
    options.loadFailed = [this](const std::string& url, const platform::NSError& error) {
      pageFailed_ = true;
      events_.loadFailed(url, error);
    };
    toolkit_.emplace(std::move(options));
    screen_ = toolkit_->rootViewControllerForWindow(GTK_WINDOW(window_));
  }

  ~GtkCheckoutWindow() override {
    for (guint timer : timers_) g_source_remove(timer);
    if (engine_) {
      g_signal_handler_disconnect(engine_, loadChanged_);
      g_object_unref(engine_);
    }
    screen_.reset();
    toolkit_.reset();
    if (!windowClosed_) {
      g_signal_handler_disconnect(window_, windowDestroyed_);
      gtk_window_destroy(GTK_WINDOW(window_));
    }
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }

  std::shared_ptr<platform::UIViewController> screen() const override { return screen_; }

  void prewarm(std::function<void()> ready) override { toolkit_->prewarm(std::move(ready)); }

  bool watchPages(const platform::WKWebView& webView, std::function<void()> shown) override {
    WebKitWebView* engine = gtk::GtkToolkit::webKitWebView(webView);
    if (!engine || engine_) return false;
    // Ours until the handler is gone: the dismissal lets the checkout's engine go, possibly before
    // the session ends.
    engine_ = WEBKIT_WEB_VIEW(g_object_ref(engine));
    pageShown_ = std::move(shown);
    loadChanged_ = g_signal_connect(engine_, "load-changed", G_CALLBACK(+[](WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
      auto& self = *static_cast<GtkCheckoutWindow*>(data);
      // WebKitGTK finishes a failed load too: that is no page shown.
      if (event == WEBKIT_LOAD_STARTED) self.pageFailed_ = false;
      if (event != WEBKIT_LOAD_FINISHED || self.pageFailed_) return;
      // The form page itself is loaded from text, at about:blank.
      const char* uri = webkit_web_view_get_uri(view);
      if (uri == nullptr || std::string_view(uri) == "about:blank") return;
      self.pageShown_();
    }), this);
    return true;
  }

  void after(std::chrono::milliseconds delay, std::function<void()> action) override {
    struct Timer {
      GtkCheckoutWindow* window;
      guint id;
      std::function<void()> action;
    };
    auto* timer = new Timer{this, 0, std::move(action)};
    const GSourceFunc fire = [](gpointer data) -> gboolean {
      auto& timer = *static_cast<Timer*>(data);
      timer.window->timers_.erase(timer.id);
      timer.action();
      return G_SOURCE_REMOVE;
    };
    const GDestroyNotify release = [](gpointer data) { delete static_cast<Timer*>(data); };
    // Whole seconds (the session's timeout) on GLib's coarse second timers, as GTK apps time them.
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(delay);
    timer->id = seconds.count() > 0 && seconds == delay
                    ? g_timeout_add_seconds_full(G_PRIORITY_DEFAULT, static_cast<guint>(seconds.count()), fire, timer, release)
                    : g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), fire, timer, release);
    timers_.insert(timer->id);
  }

  void runUntil(const std::function<bool()>& done) override {
    while (!done()) g_main_context_iteration(nullptr, TRUE);
  }

  void saveScreenshot(const std::string& path) override { saveWidgetSnapshot(window_, path); }

 private:
  CheckoutWindowEvents events_;
  GtkWidget* window_ = nullptr;
  gulong windowDestroyed_ = 0;
  bool windowClosed_ = false;
  std::optional<gtk::GtkToolkit> toolkit_;
  std::shared_ptr<platform::UIViewController> screen_;
  WebKitWebView* engine_ = nullptr;
  gulong loadChanged_ = 0;
  bool pageFailed_ = false;
  std::function<void()> pageShown_;
  std::set<guint> timers_;
};

}  // namespace

std::unique_ptr<CheckoutWindow> openGtkCheckoutWindow(CheckoutWindowEvents events) {
  if (!displayAvailable() || !gtk_init_check()) {
    throw CommandFailure(kExitUnavailable, "no display to show the checkout on; run it under a virtual one: xvfb-run -a velquor ...");
  }
  return std::make_unique<GtkCheckoutWindow>(std::move(events));
}

}  // namespace velquor::tool
