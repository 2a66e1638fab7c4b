#include "CheckoutStage.h"

#include "Arrival.h"
#include "BenchParams.h"
#include "HeadlessFormPage.h"


#include <webkit/webkit.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

using namespace std::chrono_literals;
using velquor::adapter::DelegateCall;

// Long enough for a cold web process on a loaded machine; a run that takes longer has hung.
constexpr auto kPatience = 60s;
constexpr auto kSettlePatience = 15s;
// What the checkout's web view is set up with, and what the floor's is set up with too.
constexpr const char* kUserAgent = "Velquor-iOS-SDK";
constexpr const char* kResultChannel = "paymentResponseIos";

bool isSliding(gpointer layer) {
  gboolean sliding = FALSE;
  g_object_get(layer, "sliding", &sliding, nullptr);
  return sliding;
}

// The window's slide: its first frame and its end.
struct SlideWatch {
  Arrival firstFrame;
  Arrival end;
  GtkWidget* stack = nullptr;
  guint tick = 0;
  gulong running = 0;

  // `layer`: the window's child, which draws the slide.
  explicit SlideWatch(GtkWidget* layer) : stack(layer) {
    if (!stack) return;
    tick = gtk_widget_add_tick_callback(stack, [](GtkWidget*, GdkFrameClock*, gpointer data) {
      auto& watch = *static_cast<SlideWatch*>(data);
      watch.firstFrame.mark();
      watch.tick = 0;
      return G_SOURCE_REMOVE;
    }, this, nullptr);
    running = g_signal_connect(stack, "notify::sliding", G_CALLBACK(+[](GObject* object, GParamSpec*, gpointer data) {
      if (!isSliding(object)) static_cast<SlideWatch*>(data)->end.mark();
    }), this);
    // With animations off (the desktop's settings) the checkout appears at once: no slide to wait for.
    if (!isSliding(stack)) end.mark();
  }
  ~SlideWatch() {
    if (tick) gtk_widget_remove_tick_callback(stack, tick);
    if (running) g_signal_handler_disconnect(stack, running);
  }
  SlideWatch(const SlideWatch&) = delete;
  SlideWatch& operator=(const SlideWatch&) = delete;
};

// Marks `arrival` when `view` starts its first load; returns the handler to disconnect.
gulong watchFirstLoad(WebKitWebView* view, Arrival& arrival) {
  return g_signal_connect(view, "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer data) {
                            if (event == WEBKIT_LOAD_STARTED) static_cast<Arrival*>(data)->mark();
                          }),
                          &arrival);
}

std::shared_ptr<velquor::platform::WKWebView> findWebView(const std::shared_ptr<velquor::platform::UIView>& view) {
  if (!view) return nullptr;
  if (auto webView = std::dynamic_pointer_cast<velquor::platform::WKWebView>(view)) return webView;
  for (const auto& subview : view->subviews()) {
    if (auto found = findWebView(subview)) return found;
  }
  return nullptr;
}

}  // namespace

CheckoutStage::CheckoutStage(StageSettings settings)
    : gateway_(velquor::sandbox::SandboxOptions{.port = 0,
                                                .autoResult = velquor::sandbox::AutoResult::success,
                                                .onRequest = posts_.callback(),
                                                .latency = settings.latency}) {
  const std::string document = typicalParams().dump();
  for (const auto library : velquor::adapter::kLibraries) {
    auto checkout = velquor::adapter::makeCheckoutLibrary(library);
    checkout->loadParams(document);
    libraries_.emplace(library, std::move(checkout));
  }

  window_ = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(window_), "Velquor checkout benchmark");
  gtk_window_set_default_size(GTK_WINDOW(window_), 420, 760);
  // The app's own content: a box the floor's web view goes into, as an app would show one.
  appContent_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_append(GTK_BOX(appContent_), gtk_label_new("Merchant app"));
  gtk_window_set_child(GTK_WINDOW(window_), appContent_);
  gtk_window_present(GTK_WINDOW(window_));
  if (!spinUntil([&] { return gtk_widget_get_mapped(window_); }, kPatience))
    throw std::runtime_error("the window never showed");

  velquor::gtk::GtkToolkitOptions options;
  // Nothing of the benchmark's pages is kept on disk, for the checkout and the floor alike.
  options.ephemeralNetworkSession = true;
  if (settings.transition) options.transitionDuration = *settings.transition;
  options.presentationCompletesAtStart = settings.underSlide;
  toolkit_ = std::make_unique<velquor::gtk::GtkToolkit>(options);
  screen_ = toolkit_->rootViewControllerForWindow(GTK_WINDOW(window_));
}

CheckoutStage::~CheckoutStage() {
  screen_.reset();
  toolkit_.reset();
  gtk_window_destroy(GTK_WINDOW(window_));
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

CheckoutTiming CheckoutStage::checkout(Library library, const std::function<void()>& whileOpen) {
  return timedCheckout(library, false, whileOpen);
}

CheckoutTiming CheckoutStage::checkoutDismissedByDelegate(Library library) { return timedCheckout(library, true); }

CheckoutTiming CheckoutStage::timedCheckout(Library library, bool dismissFromDelegate,
                                            const std::function<void()>& whileOpen) {
  auto& app = *libraries_.at(library);
  const std::size_t postsBefore = posts_.count();
  const std::size_t processesBefore = dismissFromDelegate ? 0 : ownWebProcessCount();
  // Only this run's calls: over many checkouts, the record must not grow.
  app.calls.clear();
  Arrival arrival;
  bool dismissed = false;
  // The hook reaches this run's locals, so it goes with them.
  struct Unhook {
    velquor::adapter::CheckoutLibrary& app;
    ~Unhook() { app.onCall = nullptr; }
  } unhook{app};
  app.onCall = [&](const DelegateCall& call) {
    if (call.kind != DelegateCall::Kind::completed || arrival.arrived) return;
    arrival.mark();
    if (!dismissFromDelegate) return;
    if (const auto controller = call.controller.lock()) {
      controller->dismissViewControllerAnimated(true, [&dismissed] { dismissed = true; });
    }
  };

  const double startCpu = processCpuMilliseconds();
  const auto start = Clock::now();
  app.launch(screen_, gateway_.endpoint());
  const auto launched = Clock::now();
  const double launchedCpu = processCpuMilliseconds();
  // Watched for the breakdown only; connecting costs microseconds, and the page starts loading only
  // once the checkout has slid in.
  Arrival pageLoad;
  WebKitWebView* engine = nullptr;
  GtkWidget* page = nullptr;
  if (const auto presented = screen_->presentedViewController()) {
    if (const auto webView = findWebView(presented->view())) engine = velquor::gtk::GtkToolkit::webKitWebView(*webView);
    page = toolkit_->widgetForViewController(*presented);
  }
  if (!engine || !page) throw std::runtime_error(moduleName(library) + " presented no checkout web view");
  const gulong watch = watchFirstLoad(engine, pageLoad);
  SlideWatch slide(gtk_widget_get_parent(gtk_widget_get_parent(page)));
  if (!spinUntil([&] { return arrival.arrived; }, kPatience)) {
    throw std::runtime_error(moduleName(library) + "'s checkout reported no result");
  }
  const auto post = posts_.waitForRequest(postsBefore + 1, 0ms);
  if (!post) throw std::runtime_error("the gateway recorded no payment post");
  if (!spinUntil([&] { return slide.end.arrived; }, kPatience)) throw std::runtime_error("the checkout's slide never ended");
  auto timing = timingOf(start, startCpu, *post, arrival, pageLoad);
  timing.toLaunchedMs = millisecondsBetween(start, launched);
  timing.cpuLauncherMs = launchedCpu - startCpu;
  timing.toSlideStartMs = millisecondsBetween(start, slide.firstFrame.at);
  timing.toSlideEndMs = millisecondsBetween(start, slide.end.at);
  g_signal_handler_disconnect(engine, watch);
  if (whileOpen) whileOpen();

  if (!dismissFromDelegate) screen_->dismissViewControllerAnimated(true, [&dismissed] { dismissed = true; });
  if (!spinUntil([&] { return dismissed; }, kPatience)) throw std::runtime_error("the checkout was never dismissed");
  if (!dismissFromDelegate) settle(processesBefore);
  return timing;
}

CheckoutTiming CheckoutStage::floor(Library library, const std::function<void()>& whileOpen) {
  const std::string& page = formPage(library);
  const std::size_t postsBefore = posts_.count();
  const std::size_t processesBefore = ownWebProcessCount();
  Arrival result;

  const double startCpu = processCpuMilliseconds();
  const auto start = Clock::now();
  // What the checkout's web view is given: the toolkit's context and session, the user agent, the
  // window-opening permission, one script-message channel.
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_user_agent(settings, kUserAgent);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
  WebKitUserContentManager* contentManager = webkit_user_content_manager_new();
  const std::string signal = std::string("script-message-received::") + kResultChannel;
  g_signal_connect(contentManager, signal.c_str(),
                   G_CALLBACK(+[](WebKitUserContentManager*, JSCValue* value, gpointer data) {
                     // An app needs the result's data, not only the fact that it came.
                     g_free(jsc_value_to_json(value, 0));
                     static_cast<Arrival*>(data)->mark();
                   }),
                   &result);
  webkit_user_content_manager_register_script_message_handler(contentManager, kResultChannel, nullptr);
  auto* view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", toolkit_->webContext(),
                                            "network-session", toolkit_->networkSession(), "settings", settings,
                                            "user-content-manager", contentManager, nullptr));
  ++liveFloorViews_;
  g_object_weak_ref(
      G_OBJECT(view), [](gpointer stage, GObject*) { --static_cast<CheckoutStage*>(stage)->liveFloorViews_; }, this);
  gtk_widget_set_vexpand(GTK_WIDGET(view), TRUE);
  Arrival pageLoad;
  watchFirstLoad(view, pageLoad);
  gtk_box_append(GTK_BOX(appContent_), GTK_WIDGET(view));
  webkit_web_view_load_html(view, page.c_str(), nullptr);

  const bool arrived = spinUntil([&] { return result.arrived; }, kPatience);
  if (arrived && whileOpen) whileOpen();
  gtk_box_remove(GTK_BOX(appContent_), GTK_WIDGET(view));  // the box held the only reference
  webkit_user_content_manager_unregister_script_message_handler(contentManager, kResultChannel, nullptr);
  g_signal_handlers_disconnect_by_data(contentManager, &result);
  g_object_unref(contentManager);
  g_object_unref(settings);
  if (!arrived) throw std::runtime_error("the bare web view heard no result");
  const auto post = posts_.waitForRequest(postsBefore + 1, 0ms);
  if (!post) throw std::runtime_error("the gateway recorded no payment post from the bare web view");

  settle(processesBefore);
  return timingOf(start, startCpu, *post, result, pageLoad);
}

const std::string& CheckoutStage::formPage(Library library) {
  auto found = formPages_.find(library);
  if (found != formPages_.end()) return found->second;
  const auto page = headlessFormPage(*libraries_.at(library), gateway_.endpoint(), moduleName(library));
  return formPages_.emplace(library, page).first->second;
}

void CheckoutStage::settle(std::size_t webProcessesBefore) {
  const bool released = spinUntil(
      [&] { return velquor::gtk::GtkToolkit::liveWebViewCount() == 0 && liveFloorViews_ == 0; }, kSettlePatience);
  if (!released) throw std::runtime_error("a web view of the last run was never released");
  // A web process ends a little after its view; wait for it, so that it does not weigh on the next
  // run. WebKit keeps the process of the last page closed for a site alive, idle, for a later page
  // of that site (its process cache; a checkout never gets it back, since a post from the blank
  // form page stays in the page's own process), so one more than before may stay. Checked every
  // few turns: reading /proc is not free.
  const std::size_t allowed = std::max<std::size_t>(webProcessesBefore, 1);
  std::size_t turns = 0;
  if (!spinUntil([&] { return ++turns % 8 == 0 && ownWebProcessCount() <= allowed; }, kSettlePatience)) {
    throw std::runtime_error("a web process of the last run outlived its web view");
  }
  spinFor(50ms);
}

}  // namespace bench
