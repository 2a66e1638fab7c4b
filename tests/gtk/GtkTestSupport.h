#pragma once

#include <GtkProcessWatch.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>
#include <httplib.h>
#include <webkit/webkit.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace gtk_test {

using namespace std::chrono_literals;

// Long enough for a cold web process on a loaded machine, short enough to fail a hung test.
inline constexpr std::chrono::milliseconds kPatience = 30s;

// Turns the GLib main loop until `condition` holds or `timeout` passes; false on timeout.
inline bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience) {
  return velquor_testing::spinUntil(condition, timeout);
}

using velquor_testing::spinFor;

// A warning or critical from GLib's object system or GTK means a widget was used after it went
// (or the like): it fails the running test rather than scrolling past in the log.
inline void failOnToolkitWarnings() {
  static const bool installed = [] {
    for (const char* domain : {"GLib-GObject", "Gtk", "Gdk", "GLib"}) {
      g_log_set_handler(
          domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
          [](const gchar* logDomain, GLogLevelFlags, const gchar* message, gpointer) {
            ADD_FAILURE() << logDomain << ": " << message;
          },
          nullptr);
    }
    return true;
  }();
  (void)installed;
}

// All descendants of `root` (itself included), depth first.
inline std::vector<GtkWidget*> descendants(GtkWidget* root) {
  std::vector<GtkWidget*> found;
  if (!root) return found;
  found.push_back(root);
  for (GtkWidget* child = gtk_widget_get_first_child(root); child; child = gtk_widget_get_next_sibling(child)) {
    auto below = descendants(child);
    found.insert(found.end(), below.begin(), below.end());
  }
  return found;
}

inline GtkWidget* findByName(GtkWidget* root, const char* name) {
  for (GtkWidget* widget : descendants(root)) {
    if (g_strcmp0(gtk_widget_get_name(widget), name) == 0) return widget;
  }
  return nullptr;
}

// Visible GtkMessageDialogs among the toplevels.
inline std::vector<GtkWidget*> visibleMessageDialogs() {
  std::vector<GtkWidget*> dialogs;
  GListModel* toplevels = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_MESSAGE_DIALOG(window) && gtk_widget_get_visible(window)) dialogs.push_back(window);
    g_object_unref(window);
  }
  return dialogs;
}

// The result of a script in a web view, as JSON text (null on an error or timeout).
inline std::optional<std::string> evaluateJSON(WebKitWebView* webView, const std::string& script) {
  struct Result {
    bool done = false;
    std::optional<std::string> json;
  } result;
  webkit_web_view_evaluate_javascript(
      webView, script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* async, gpointer data) {
        auto* result = static_cast<Result*>(data);
        GError* error = nullptr;
        JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), async, &error);
        if (value) {
          char* text = jsc_value_to_json(value, 0);
          if (text) result->json = text;
          g_free(text);
          g_object_unref(value);
        }
        if (error) g_error_free(error);
        result->done = true;
      },
      &result);
  if (!spinUntil([&] { return result.done; })) return std::nullopt;
  return result.json;
}

// A port on loopback with nothing listening on it.
inline int unusedLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// A small web server on loopback, on its own thread, recording what it is asked.
class LoopbackServer {
 public:
  struct Request {
    std::string method;
    std::string path;
    std::string userAgent;
    std::string body;
  };

  LoopbackServer() {
    // One request per connection: an idle kept-alive connection would hold stop() for seconds.
    server_.set_keep_alive_max_count(1);
    server_.set_logger([this](const httplib::Request& request, const httplib::Response&) {
      std::lock_guard lock(mutex_);
      requests_.push_back({request.method, request.path, request.get_header_value("User-Agent"), request.body});
    });
  }
  ~LoopbackServer() { stop(); }

  httplib::Server& routes() { return server_; }

  void start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    // Bound and listening already: connections wait until the thread accepts them.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  void stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }

  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::vector<Request> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::size_t requestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& request : requests_) count += request.path == path ? 1 : 0;
    return count;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
};

// A window with the app's own content, under a fresh toolkit.
class GtkWindowTest : public ::testing::Test {
 protected:
  static velquor::gtk::GtkToolkitOptions testOptions() {
    velquor::gtk::GtkToolkitOptions options;
    options.ephemeralNetworkSession = true;
    return options;
  }

  void SetUp() override {
    gtk_init();
    failOnToolkitWarnings();
    window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(window, 480, 640);
    appContent = gtk_label_new("The app's own content");
    gtk_window_set_child(window, appContent);
    gtk_window_present(window);
    ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window)); }));
  }

  void TearDown() override {
    toolkit.reset();
    screen.reset();
    if (window) gtk_window_destroy(window);
    spinFor(50ms);
  }

  velquor::gtk::GtkToolkit& makeToolkit(velquor::gtk::GtkToolkitOptions options = testOptions()) {
    toolkit.reset();
    toolkit.emplace(options);
    screen = toolkit->rootViewControllerForWindow(window);
    return *toolkit;
  }

  GtkStack* windowStack() const { return GTK_STACK(gtk_window_get_child(window)); }

  GtkWindow* window = nullptr;
  GtkWidget* appContent = nullptr;
  std::optional<velquor::gtk::GtkToolkit> toolkit;
  std::shared_ptr<velquor::platform::UIViewController> screen;
};

}  // namespace gtk_test
