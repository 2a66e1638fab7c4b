// The suite's driver for the GTK toolkit on WebKitGTK.

#include "ToolkitDriver.h"

#include "GtkTestSupport.h"

namespace e2e {
namespace {

using namespace velquor::platform;
using velquor::gtk::GtkToolkit;

class GtkToolkitDriver final : public ToolkitDriver {
 public:
  ~GtkToolkitDriver() override { GtkToolkitDriver::tearDown(); }

  std::shared_ptr<UIViewController> makeToolkit(std::chrono::milliseconds transition) override {
    if (!window_) openWindow();
    toolkit_.reset();
    velquor::gtk::GtkToolkitOptions options;
    options.ephemeralNetworkSession = true;
    options.transitionDuration = transition;
    options.presentationCompletesAtStart = presentationsCompleteAtStart;
    options.loadFailed = [this](const std::string& url, const NSError&) { failedLoads.push_back(url); };
    toolkit_.emplace(options);
    return toolkit_->rootViewControllerForWindow(window_);
  }

  void tearDown() override {
    toolkit_.reset();
    destroyWindow();
    gtk_test::spinFor(50ms);
  }

  void destroyWindow() override {
    if (window_) gtk_window_destroy(std::exchange(window_, nullptr));
  }

  bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) override {
    return gtk_test::spinUntil(condition, timeout);
  }

  std::optional<std::string> evaluateJSON(const WKWebView& webView, const std::string& script) override {
    return gtk_test::evaluateJSON(engine(webView), script);
  }

  bool isLoading(const WKWebView& webView) override { return webkit_web_view_is_loading(engine(webView)); }

  bool showsFormPage(const WKWebView& webView) override {
    return g_strcmp0(webkit_web_view_get_uri(engine(webView)), "about:blank") == 0;
  }

  void observeLoads(const WKWebView& webView, std::function<void(bool started)> observer) override {
    auto* held = new std::function<void(bool)>(std::move(observer));
    g_signal_connect_data(
        engine(webView), "load-changed",
        G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer data) {
          if (event == WEBKIT_LOAD_STARTED || event == WEBKIT_LOAD_FINISHED) {
            (*static_cast<std::function<void(bool)>*>(data))(event == WEBKIT_LOAD_STARTED);
          }
        }),
        held, [](gpointer data, GClosure*) { delete static_cast<std::function<void(bool)>*>(data); }, G_CONNECT_AFTER);
  }

  SpinnerOnScreen spinnerOnScreen(const UIActivityIndicatorView& spinner) override {
    GtkWidget* widget = toolkit_->widgetForView(spinner);
    if (!widget || !GTK_IS_SPINNER(widget)) return {};
    const bool visible = gtk_widget_get_visible(widget);
    return {visible && gtk_widget_get_mapped(widget),
            gtk_spinner_get_spinning(GTK_SPINNER(widget)) != 0};
  }

  SpinnerPlacement spinnerPlacement(const UIActivityIndicatorView& spinner, const WKWebView& webView) override {
    GtkWidget* widget = toolkit_->widgetForView(spinner);
    GtkWidget* view = GTK_WIDGET(engine(webView));
    if (!widget) return {};
    return {gtk_widget_get_parent(widget) == gtk_widget_get_parent(view) && gtk_widget_get_prev_sibling(widget) == view,
            gtk_widget_get_halign(widget) == GTK_ALIGN_CENTER && gtk_widget_get_valign(widget) == GTK_ALIGN_CENTER};
  }

  bool showsCheckout(const UIViewController& navigation) override {
    return gtk_stack_get_visible_child(windowStack()) == toolkit_->widgetForViewController(navigation);
  }

  bool showsAppContent() override { return gtk_stack_get_visible_child(windowStack()) == appContent_; }
  bool sliding() override {
    gboolean sliding = FALSE;
    g_object_get(gtk_window_get_child(window_), "sliding", &sliding, nullptr);
    return sliding;
  }

  std::optional<std::pair<std::string, std::string>> barOnScreen(const UINavigationController& navigation) override {
    GtkWidget* bar = toolkit_->widgetForView(*navigation.navigationBar());
    GtkWidget* title = gtk_test::findByName(bar, "velquor-bar-title");
    GtkWidget* button = gtk_test::findByName(bar, "velquor-bar-button");
    if (!bar || !gtk_widget_get_mapped(bar) || !title || !button) return std::nullopt;
    const char* label = gtk_button_get_label(GTK_BUTTON(button));
    return std::pair{std::string(gtk_label_get_text(GTK_LABEL(title))), std::string(label ? label : "")};
  }

  bool pressCancel(const UINavigationController& navigation) override {
    GtkWidget* cancel = gtk_test::findByName(toolkit_->widgetForView(*navigation.navigationBar()), "velquor-bar-button");
    if (!cancel) return false;
    g_signal_emit_by_name(cancel, "clicked");
    return true;
  }

  std::optional<AlertOnScreen> alertOnScreen(const UIAlertController& alert) override {
    GtkWidget* dialog = toolkit_->widgetForViewController(alert);
    if (!dialog || gtk_test::visibleMessageDialogs().size() != 1) return std::nullopt;
    AlertOnScreen shown;
    char* text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    shown.text = text ? text : "";
    g_free(text);
    // The dialog's response numbers are the buttons' places.
    for (int response = 0; GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response);
         ++response) {
      shown.buttons.push_back({gtk_button_get_label(GTK_BUTTON(button)), gtk_widget_has_css_class(button, "destructive-action") != 0});
    }
    return shown;
  }

  bool anyAlertOnScreen() override { return !gtk_test::visibleMessageDialogs().empty(); }

  bool chooseAlertButton(const UIAlertController& alert, const std::string& label) override {
    GtkWidget* dialog = toolkit_->widgetForViewController(alert);
    if (!dialog) return false;
    for (int response = 0; GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response);
         ++response) {
      if (label == gtk_button_get_label(GTK_BUTTON(button))) {
        g_signal_emit_by_name(button, "clicked");
        return true;
      }
    }
    return false;
  }

  // WebKit keeps one web process per view here; the suite has one view at a time.
  std::vector<pid_t> pageProcesses(const WKWebView&) override { return velquor_testing::ownWebProcesses(); }

  LiveEngines liveEngines() override {
    const auto views = GtkToolkit::liveWebViewCount();
    return {views, views};
  }

  EngineError engineErrorFor(Fault fault) const override {
    switch (fault) {
      case Fault::closedPort:
        return {g_quark_to_string(G_IO_ERROR), G_IO_ERROR_CONNECTION_REFUSED};
      case Fault::untrustedCertificate:
        return {g_quark_to_string(G_TLS_ERROR), std::nullopt};
    }
    return {};
  }

  void refuseNavigations(const WKWebView& webView, std::vector<NavigationAttempt>& attempts) override {
    // Ahead of the toolkit's own handling, which allows every navigation.
    g_signal_connect(engine(webView), "decide-policy",
                     G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                    gpointer data) -> gboolean {
                       if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
                       auto* action = webkit_navigation_policy_decision_get_navigation_action(
                           WEBKIT_NAVIGATION_POLICY_DECISION(decision));
                       WebKitURIRequest* request = webkit_navigation_action_get_request(action);
                       const char* method = webkit_uri_request_get_http_method(request);
                       static_cast<std::vector<NavigationAttempt>*>(data)->push_back(
                           {webkit_uri_request_get_uri(request), method ? method : "GET"});
                       if (g_str_has_prefix(webkit_uri_request_get_uri(request), "about:")) return FALSE;
                       webkit_policy_decision_ignore(decision);
                       return TRUE;
                     }),
                     &attempts);
  }

  bool isFormPageAddress(const std::string& url) const override { return url == "about:blank"; }

 private:
  static WebKitWebView* engine(const WKWebView& webView) { return GtkToolkit::webKitWebView(webView); }
  // The window's child draws the slides; the stack of pages is inside it.
  GtkStack* windowStack() const { return GTK_STACK(gtk_widget_get_first_child(gtk_window_get_child(window_))); }

  void openWindow() {
    gtk_init();
    gtk_test::failOnToolkitWarnings();
    window_ = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(window_, 480, 640);
    appContent_ = gtk_label_new("The app's own content");
    gtk_window_set_child(window_, appContent_);
    gtk_window_present(window_);
    if (!gtk_test::spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window_)); }, kPatience)) {
      ADD_FAILURE() << "the app window was not mapped";
    }
  }

  GtkWindow* window_ = nullptr;
  GtkWidget* appContent_ = nullptr;
  std::optional<GtkToolkit> toolkit_;
};

}  // namespace

std::unique_ptr<ToolkitDriver> makeToolkitDriver() { return std::make_unique<GtkToolkitDriver>(); }

const char* toolkitName() { return "gtk"; }

}  // namespace e2e
