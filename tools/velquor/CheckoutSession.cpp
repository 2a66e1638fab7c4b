#include "CheckoutSession.h"

#include "CommandFailure.h"
#include "LibraryCalls.h"
#include "WindowSnapshot.h"

#include <velquor/gtk/GtkToolkit.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/NSException.h>
#include <velquor/platform/WKWebView.h>

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <type_traits>
#include <variant>

namespace velquor::tool {

namespace {

using platform::UIViewController;

// A failure report ended the checkout.
constexpr int kExitFailureReported = 2;

std::shared_ptr<platform::WKWebView> findWebView(const std::shared_ptr<platform::UIView>& view) {
  if (!view) return nullptr;
  if (auto webView = std::dynamic_pointer_cast<platform::WKWebView>(view)) return webView;
  for (const auto& subview : view->subviews()) {
    if (auto found = findWebView(subview)) return found;
  }
  return nullptr;
}

// An error as one JSON object: domain, code, description, and the rest of its user info (an
// underlying error as such an object, under "underlyingError").
nlohmann::ordered_json errorJSON(const platform::NSError& error) {
  nlohmann::ordered_json json{{"domain", error.domain()}, {"code", error.code()}, {"description", error.localizedDescription()}};
  for (const auto& [key, value] : error.userInfo()) {
    if (key == platform::NSLocalizedDescriptionKey) continue;
    const std::string name = key == platform::NSUnderlyingErrorKey                ? "underlyingError"
                             : key == platform::NSURLErrorFailingURLStringErrorKey ? "url"
                                                                                   : key;
    std::visit(
        [&](const auto& item) {
          using Item = std::decay_t<decltype(item)>;
          if constexpr (std::is_same_v<Item, std::shared_ptr<const platform::NSError>>) {
            if (item) json[name] = errorJSON(*item);
          } else if constexpr (std::is_same_v<Item, platform::NSException>) {
            json[name] = item.name() + ": " + item.reason();
          } else {
            json[name] = item;
          }
        },
        value);
  }
  return json;
}

std::string eventLine(std::string_view event, const std::optional<nlohmann::json>* data) {
  std::string line = "{\"event\":\"" + std::string(event) + "\"";
  if (data) {
    line += ",\"data\":";
    line += *data ? (*data)->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : "null";
  }
  return line + "}";
}

// The state of one session, reached from GLib callbacks.
struct Session {
  explicit Session(const CheckoutSessionOptions& sessionOptions) : options(sessionOptions) {}
  const CheckoutSessionOptions& options;
  GtkWidget* window = nullptr;
  bool windowClosed = false;
  std::shared_ptr<UIViewController> screen;
  bool reported = false;
  // The exit status once the app has dismissed the checkout after its first answer.
  int answerStatus = 0;
  bool finished = false;
  int exitStatus = 0;
  bool failedLoad = false;
  bool screenshotTaken = false;
  guint timeoutSource = 0;
  guint screenshotTimer = 0;
  bool dismissAfterScreenshot = false;
  std::optional<CommandFailure> failure;

  void report(const std::string& line, int status = 0);
  void dismiss() {
    // As an app would: the checkout is dismissed once the app has its answer.
    if (!screen->presentedViewController()) {
      finish(answerStatus);  // nothing to dismiss: it was never presented
      return;
    }
    screen->dismissViewControllerAnimated(true, [this] { finish(answerStatus); });
  }
  void finish(int status) {
    if (finished) return;
    exitStatus = status;
    finished = true;
  }
};

void takeScreenshot(Session& session) {
  if (session.screenshotTaken || !session.options.screenshotPath) return;
  session.screenshotTaken = true;
  try {
    saveWidgetSnapshot(session.window, *session.options.screenshotPath);
  } catch (const CommandFailure& failure) {
    session.failure = failure;
    session.finish(failure.exitCode());
  }
}

// How long a finished page is given to paint before the screenshot.
constexpr guint kPaintDelayMs = 400;

void scheduleScreenshot(Session& session) {
  if (session.screenshotTimer != 0 || session.screenshotTaken) return;
  session.screenshotTimer = g_timeout_add(kPaintDelayMs, [](gpointer data) -> gboolean {
    auto& session = *static_cast<Session*>(data);
    session.screenshotTimer = 0;
    takeScreenshot(session);
    if (session.dismissAfterScreenshot && !session.finished) session.dismiss();
    return G_SOURCE_REMOVE;
  }, &session);
}

void Session::report(const std::string& line, int status) {
  std::cout << line << std::endl;
  if (reported) return;
  reported = true;
  answerStatus = status;
  if (!options.screenshotPath || screenshotTaken) {
    dismiss();
    return;
  }
  // The answer came before the screenshot (a page that posts on load): take it while the
  // checkout is still shown, then dismiss.
  dismissAfterScreenshot = true;
  scheduleScreenshot(*this);
}

// The first page that is not the form page itself (about:blank) has finished loading: let it
// paint, then take the screenshot.
void onLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, gpointer data) {
  auto& session = *static_cast<Session*>(data);
  if (event == WEBKIT_LOAD_STARTED) session.failedLoad = false;
  if (event != WEBKIT_LOAD_FINISHED || session.failedLoad || !session.options.screenshotPath) return;
  const char* uri = webkit_web_view_get_uri(webView);
  if (uri == nullptr || std::string_view(uri) == "about:blank") return;
  scheduleScreenshot(session);
}

// Every page that cannot be loaded, whatever the reason (the toolkit hears even of the loads
// WebKit refuses to start): without a failure report, a user waiting for the timeout learns why here.
void onLoadFailed(Session& session, const std::string& url, const platform::NSError& error) {
  session.failedLoad = true;
  std::cerr << "velquor checkout: cannot load " << (url.empty() ? std::string("the page") : url) << ": "
            << error.localizedDescription() << std::endl;
}

// Closing the window ends the checkout: nothing more can come. Without an answer so far, that is
// a failure, as a timeout is.
void onWindowDestroyed(GtkWidget*, gpointer data) {
  auto& session = *static_cast<Session*>(data);
  session.windowClosed = true;
  if (session.finished) return;
  if (!session.reported) std::cerr << "velquor checkout: the window was closed before a result" << std::endl;
  session.finish(session.reported ? 0 : 1);
}

}  // namespace

bool displayAvailable() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

int runCheckoutSession(const CheckoutSessionOptions& options) {
  auto library = openLibrary(options.library);
  loadParams(*library, options.paramsDocument);
  if (!displayAvailable() || !gtk_init_check()) {
    throw CommandFailure(kExitUnavailable, "no display to show the checkout on; run it under a virtual one: xvfb-run -a velquor ...");
  }

  Session session(options);
  session.window = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(session.window), "Velquor checkout");
  gtk_window_set_default_size(GTK_WINDOW(session.window), 420, 760);
  GtkWidget* appContent = gtk_label_new("Merchant app");
  gtk_window_set_child(GTK_WINDOW(session.window), appContent);
  const gulong windowDestroyed = g_signal_connect(session.window, "destroy", G_CALLBACK(onWindowDestroyed), &session);
  gtk_window_present(GTK_WINDOW(session.window));

  int status = 0;
  {
    gtk::GtkToolkitOptions toolkitOptions;
    toolkitOptions.loadFailed = [&session](const std::string& url, const platform::NSError& error) {
      onLoadFailed(session, url, error);
    };
    gtk::GtkToolkit toolkit(toolkitOptions);
    session.screen = toolkit.rootViewControllerForWindow(GTK_WINDOW(session.window));
    library->reportFailures = options.reportFailures;
    library->trustedOrigins = options.trustedOrigins;
    library->onCall = [&session](const adapter::DelegateCall& call) {
      switch (call.kind) {
        case adapter::DelegateCall::Kind::completed:
          session.report(eventLine("completed", &call.data));
          break;
        case adapter::DelegateCall::Kind::canceled:
          session.report(eventLine("canceled", nullptr));
          break;
        case adapter::DelegateCall::Kind::failed:
          session.report("{\"event\":\"failed\",\"error\":" +
                             errorJSON(*call.error).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "}",
                         kExitFailureReported);
          break;
      }
    };
    launch(*library, session.screen, options.endpoint);

    auto presented = session.screen->presentedViewController();
    auto webView = presented ? findWebView(presented->view()) : nullptr;
    WebKitWebView* engine = webView ? gtk::GtkToolkit::webKitWebView(*webView) : nullptr;
    // Without a checkout on screen there is nothing to wait for, unless its refusal was reported.
    if (!engine && !session.reported) throw CommandFailure(kExitSoftware, "the library presented no checkout");
    // Ours until the handlers are gone: the dismissal lets the checkout's engine go, possibly
    // before the loop below ends.
    if (engine) g_object_ref(engine);
    const gulong loadChanged = engine ? g_signal_connect(engine, "load-changed", G_CALLBACK(onLoadChanged), &session) : 0;

    session.timeoutSource = g_timeout_add_seconds(static_cast<guint>(options.timeout.count()), [](gpointer data) -> gboolean {
      auto& session = *static_cast<Session*>(data);
      session.timeoutSource = 0;
      std::cerr << "velquor checkout: no result within " << session.options.timeout.count() << " s" << std::endl;
      session.finish(1);
      return G_SOURCE_REMOVE;
    }, &session);

    while (!session.finished) g_main_context_iteration(nullptr, TRUE);
    if (session.timeoutSource != 0) g_source_remove(session.timeoutSource);
    if (session.screenshotTimer != 0) g_source_remove(session.screenshotTimer);
    if (engine) {
      g_signal_handler_disconnect(engine, loadChanged);
      g_object_unref(engine);
    }
    status = session.exitStatus;
    session.screen.reset();
  }
  if (!session.windowClosed) {
    g_signal_handler_disconnect(session.window, windowDestroyed);
    gtk_window_destroy(GTK_WINDOW(session.window));
  }
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  if (session.failure) throw *session.failure;
  return status;
}

}  // namespace velquor::tool
