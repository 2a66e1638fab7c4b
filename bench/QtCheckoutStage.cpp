#include "QtCheckoutStage.h"

#include "Arrival.h"
#include "BenchParams.h"
#include "HeadlessFormPage.h"
#include "ProcessTree.h"


#include <QEventLoop>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QTimer>
#include <QWindow>

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace bench {

namespace {

using namespace std::chrono_literals;
using velquor::adapter::DelegateCall;

constexpr auto kPatience = 60s;
constexpr auto kSettlePatience = 15s;
constexpr const char* kUserAgent = "Velquor-iOS-SDK";
// Renderers are the processes Chromium's zygote forks.
constexpr const char* kZygoteArgument = "--type=zygote";
// The floor's stand-in for window.webkit.messageHandlers.paymentResponseIos: what a bare Qt app
// would write to hear a gateway page that calls it.
constexpr const char* kResultPrefix = "velquor-floor-result ";
constexpr const char* kFloorScript = R"JS(
window.webkit = {messageHandlers: {paymentResponseIos: {postMessage(body) {
  console.log("velquor-floor-result " + JSON.stringify(body));
}}}};)JS";

std::shared_ptr<velquor::platform::WKWebView> findWebView(const std::shared_ptr<velquor::platform::UIView>& view) {
  if (!view) return nullptr;
  if (auto webView = std::dynamic_pointer_cast<velquor::platform::WKWebView>(view)) return webView;
  for (const auto& subview : view->subviews()) {
    if (auto found = findWebView(subview)) return found;
  }
  return nullptr;
}

// A bare page that hands its console's result lines to `onResult`.
class FloorPage final : public QWebEnginePage {
 public:
  FloorPage(QWebEngineProfile* profile, QObject* parent, std::function<void(const QString&)> onResult)
      : QWebEnginePage(profile, parent), onResult_(std::move(onResult)) {}

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override {
    static const QString prefix = QString::fromLatin1(kResultPrefix);
    if (message.startsWith(prefix)) onResult_(message.mid(prefix.size()));
  }

 private:
  std::function<void(const QString&)> onResult_;
};

}  // namespace

bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  bool held = condition();
  while (!held && Clock::now() < deadline) {
    // Blocks between events, so that waiting takes no core from the renderers being timed.
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
    held = condition();
  }
  return held;
}

void spinFor(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

QtCheckoutStage::QtCheckoutStage(StageSettings settings)
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

  window_ = new QWidget();
  window_->setWindowTitle(QStringLiteral("Velquor checkout benchmark"));
  window_->resize(420, 760);
  appContent_ = new QVBoxLayout(window_);
  appContent_->addWidget(new QLabel(QStringLiteral("Merchant app")));
  window_->show();
  if (!spinUntil([&] { return window_->windowHandle() && window_->windowHandle()->isExposed(); }, kPatience))
    throw std::runtime_error("the window never showed");

  velquor::qt::QtToolkitOptions options;
  if (settings.transition) options.transitionDuration = *settings.transition;
  options.presentationCompletesAtStart = settings.underSlide;
  toolkit_ = std::make_unique<velquor::qt::QtToolkit>(options);
  screen_ = toolkit_->rootViewControllerForWindow(window_);
}

QtCheckoutStage::~QtCheckoutStage() {
  screen_.reset();
  toolkit_.reset();
  delete window_.data();
  spinFor(50ms);
}

CheckoutTiming QtCheckoutStage::checkout(Library library, const std::function<void()>& whileOpen) {
  auto& app = *libraries_.at(library);
  const std::size_t postsBefore = posts_.count();
  const std::size_t renderersBefore = descendantsForkedBy(kZygoteArgument);
  app.calls.clear();
  Arrival arrival;
  struct Unhook {
    velquor::adapter::CheckoutLibrary& app;
    ~Unhook() { app.onCall = nullptr; }
  } unhook{app};
  app.onCall = [&](const DelegateCall& call) {
    if (call.kind == DelegateCall::Kind::completed) arrival.mark();
  };

  const double startCpu = processCpuMilliseconds();
  const auto start = Clock::now();
  app.launch(screen_, gateway_.endpoint());
  const auto launched = Clock::now();
  const double launchedCpu = processCpuMilliseconds();
  Arrival pageLoad;
  QWebEngineView* engine = nullptr;
  QWidget* page = nullptr;
  if (const auto presented = screen_->presentedViewController()) {
    if (const auto webView = findWebView(presented->view())) engine = velquor::qt::QtToolkit::webEngineView(*webView);
    page = toolkit_->widgetForViewController(*presented);
  }
  if (!engine || !page) throw std::runtime_error(moduleName(library) + " presented no checkout web view");
  const auto watch = QObject::connect(engine->page(), &QWebEnginePage::loadStarted, [&pageLoad] { pageLoad.mark(); });
  // The slide: its first frame that moved the page, and its end.
  Arrival slideStart;
  Arrival slideEnd;
  auto* slide = page->findChild<QPropertyAnimation*>(QString(), Qt::FindDirectChildrenOnly);
  if (!slide) throw std::runtime_error("the checkout did not slide in");
  const QPoint from = page->pos();
  QObject::connect(slide, &QVariantAnimation::valueChanged, slide, [&slideStart, from](const QVariant& value) {
    if (value.toPoint() != from) slideStart.mark();
  });
  QObject::connect(slide, &QAbstractAnimation::finished, slide, [&slideEnd] { slideEnd.mark(); });
  if (!spinUntil([&] { return arrival.arrived; }, kPatience)) {
    throw std::runtime_error(moduleName(library) + "'s checkout reported no result");
  }
  const auto post = posts_.waitForRequest(postsBefore + 1, 0ms);
  if (!post) throw std::runtime_error("the gateway recorded no payment post");
  if (!spinUntil([&] { return slideEnd.arrived; }, kPatience)) throw std::runtime_error("the checkout's slide never ended");
  auto timing = timingOf(start, startCpu, *post, arrival, pageLoad);
  timing.toLaunchedMs = millisecondsBetween(start, launched);
  timing.cpuLauncherMs = launchedCpu - startCpu;
  timing.toSlideStartMs = millisecondsBetween(start, slideStart.at);
  timing.toSlideEndMs = millisecondsBetween(start, slideEnd.at);
  QObject::disconnect(watch);
  if (whileOpen) whileOpen();

  bool dismissed = false;
  screen_->dismissViewControllerAnimated(true, [&dismissed] { dismissed = true; });
  if (!spinUntil([&] { return dismissed; }, kPatience)) throw std::runtime_error("the checkout was never dismissed");
  settle(renderersBefore);
  return timing;
}

CheckoutTiming QtCheckoutStage::floor(Library library, const std::function<void()>& whileOpen) {
  const std::string& page = formPage(library);
  const std::size_t postsBefore = posts_.count();
  const std::size_t renderersBefore = descendantsForkedBy(kZygoteArgument);
  Arrival result;

  const double startCpu = processCpuMilliseconds();
  const auto start = Clock::now();
  // What the checkout's web view is given: the toolkit's profile and user agent, the
  // window-opening permission, a handler for the one script-message name.
  toolkit_->profile()->setHttpUserAgent(QString::fromLatin1(kUserAgent));
  auto* view = new QWebEngineView();
  auto* enginePage = new FloorPage(toolkit_->profile(), view, [&result](const QString& json) {
    // An app needs the result's data, not only the fact that it came.
    if (!nlohmann::json::parse(json.toStdString(), nullptr, false).is_discarded()) result.mark();
  });
  ++liveFloorPages_;
  QObject::connect(enginePage, &QObject::destroyed, [this] { --liveFloorPages_; });
  enginePage->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
  QWebEngineScript script;
  script.setSourceCode(QString::fromLatin1(kFloorScript));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  enginePage->scripts().insert(script);
  view->setPage(enginePage);
  Arrival pageLoad;
  QObject::connect(enginePage, &QWebEnginePage::loadStarted, [&pageLoad] { pageLoad.mark(); });
  appContent_->addWidget(view, 1);
  view->show();
  enginePage->setHtml(QString::fromStdString(page));

  const bool arrived = spinUntil([&] { return result.arrived; }, kPatience);
  if (arrived && whileOpen) whileOpen();
  delete view;
  if (!arrived) throw std::runtime_error("the bare web view heard no result");
  const auto post = posts_.waitForRequest(postsBefore + 1, 0ms);
  if (!post) throw std::runtime_error("the gateway recorded no payment post from the bare web view");
  settle(renderersBefore);
  return timingOf(start, startCpu, *post, result, pageLoad);
}

const std::string& QtCheckoutStage::formPage(Library library) {
  auto found = formPages_.find(library);
  if (found != formPages_.end()) return found->second;
  const auto page = headlessFormPage(*libraries_.at(library), gateway_.endpoint(), moduleName(library));
  return formPages_.emplace(library, page).first->second;
}

void QtCheckoutStage::settle(std::size_t renderersBefore) {
  const bool released = spinUntil(
      [&] { return velquor::qt::QtToolkit::livePageCount() == 0 && liveFloorPages_ == 0; }, kSettlePatience);
  if (!released) throw std::runtime_error("a page of the last run was never released");
  // A renderer ends a little after its page; wait for it, so that it does not weigh on the next run.
  std::size_t turns = 0;
  if (!spinUntil([&] { return ++turns % 8 == 0 && descendantsForkedBy(kZygoteArgument) <= renderersBefore; },
                 kSettlePatience)) {
    throw std::runtime_error("a renderer of the last run outlived its page");
  }
  spinFor(50ms);
}

}  // namespace bench
