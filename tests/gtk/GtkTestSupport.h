#pragma once

#include <GtkProcessWatch.h>
#include <LoopbackServer.h>
#include <velquor/gtk/GtkToolkit.h>

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <gtest/gtest.h>


#include <chrono>
#include <functional>
#include <optional>
#include <string>
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
using velquor_testing::LoopbackServer;
using velquor_testing::unusedLoopbackPort;

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

  // The window's child draws the slides; the stack of pages is inside it.
  GtkWidget* slideLayer() const { return gtk_window_get_child(window); }
  GtkStack* windowStack() const { return GTK_STACK(gtk_widget_get_first_child(slideLayer())); }
  bool sliding() const {
    gboolean sliding = FALSE;
    g_object_get(slideLayer(), "sliding", &sliding, nullptr);
    return sliding;
  }

  GtkWindow* window = nullptr;
  GtkWidget* appContent = nullptr;
  std::optional<velquor::gtk::GtkToolkit> toolkit;
  std::shared_ptr<velquor::platform::UIViewController> screen;
};

}  // namespace gtk_test
