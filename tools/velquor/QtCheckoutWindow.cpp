// The checkout window on Qt 6 Widgets and Qt WebEngine.

#include "CheckoutWindow.h"
#include "CommandFailure.h"

#include <velquor/qt/QtToolkit.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace velquor::tool {

namespace {

// How long the new window is given to be shown before the toolkit is installed over it.
constexpr std::chrono::seconds kExposePatience{10};

// The one application of the process: Qt WebEngine cannot start twice in one process.
QApplication& application() {
  static int argc = 1;
  static char name[] = "velquor";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* made = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return made;
  }();
  return *app;
}

// Pages loaded from the checkout's own text, not from a server.
bool isCheckoutsOwnPage(const QUrl& url) {
  const QString scheme = url.scheme();
  return url.isEmpty() || scheme == "velquor-checkout" || scheme == "about" || scheme == "data";
}

class QtCheckoutWindow final : public CheckoutWindow {
 public:
  explicit QtCheckoutWindow(CheckoutWindowEvents events) : events_(std::move(events)) {
    window_ = new QWidget();
    window_->setWindowTitle(kWindowTitle);
    window_->resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(window_);
    layout->addWidget(new QLabel("Merchant app"), 0, Qt::AlignCenter);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    windowDestroyed_ = QObject::connect(window_, &QObject::destroyed, [this] {
      windowClosed_ = true;
      events_.closed();
    });
    window_->show();
    const auto deadline = std::chrono::steady_clock::now() + kExposePatience;
    runUntil([&] {
      return (window_->windowHandle() && window_->windowHandle()->isExposed()) || std::chrono::steady_clock::now() > deadline;
    });

    qt::QtToolkitOptions options;
    options.presentationCompletesAtStart = events_.loadUnderSlide;
    options.loadFailed = [this](const std::string& url, const platform::NSError& error) { events_.loadFailed(url, error); };
    toolkit_.emplace(std::move(options));
    screen_ = toolkit_->rootViewControllerForWindow(window_);
  }

  ~QtCheckoutWindow() override {
    delete timers_;
    QObject::disconnect(loadingChanged_);
    screen_.reset();
    toolkit_.reset();
    if (!windowClosed_) {
      QObject::disconnect(windowDestroyed_);
      delete window_;
    }
    drain();
  }

  std::shared_ptr<platform::UIViewController> screen() const override { return screen_; }

  void prewarm(std::function<void()> ready) override { toolkit_->prewarm(std::move(ready)); }

  bool watchPages(const platform::WKWebView& webView, std::function<void()> shown) override {
    QWebEngineView* engine = qt::QtToolkit::webEngineView(webView);
    if (!engine || !engine->page() || loadingChanged_) return false;
    QPointer<QWebEnginePage> page = engine->page();
    loadingChanged_ = QObject::connect(page, &QWebEnginePage::loadingChanged, [page, shown = std::move(shown)](const QWebEngineLoadingInfo& info) {
      // An HTTP error status still shows the server's page; any other failure shows none.
      const bool loaded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                          (info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                           info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain);
      if (!loaded || !page || isCheckoutsOwnPage(page->url())) return;
      shown();
    });
    return true;
  }

  void after(std::chrono::milliseconds delay, std::function<void()> action) override {
    // A child of timers_: deleting that cancels whatever has not run yet.
    auto* timer = new QTimer(timers_);
    timer->setSingleShot(true);
    // A coarse timer may fire up to 5% early: a 6 s timeout would give up at 5.7 s.
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
      timer->deleteLater();
      action();
    });
    timer->start(delay);
  }

  void runUntil(const std::function<bool()>& done) override {
    // An event loop proper (not processEvents), so that deferred deletions happen; it looks at
    // `done` after every batch of events.
    while (!done()) {
      QEventLoop loop;
      QTimer::singleShot(10, &loop, &QEventLoop::quit);
      loop.exec();
    }
  }

  void saveScreenshot(const std::string& path) override {
    if (windowClosed_ || !window_->isVisible()) {
      throw CommandFailure(kExitSoftware, "cannot take a screenshot: the window is not shown");
    }
    const QPixmap picture = window_->grab();
    if (picture.isNull()) throw CommandFailure(kExitSoftware, "cannot take a screenshot: nothing is drawn");
    if (!picture.save(QString::fromStdString(path), "PNG")) {
      throw CommandFailure(kExitSoftware, "cannot write the screenshot to " + path);
    }
  }

 private:
  static void drain() {
    for (int turn = 0; turn < 3; ++turn) {
      QEventLoop loop;
      QTimer::singleShot(0, &loop, &QEventLoop::quit);
      loop.exec();
    }
  }

  CheckoutWindowEvents events_;
  QWidget* window_ = nullptr;
  QMetaObject::Connection windowDestroyed_;
  bool windowClosed_ = false;
  QObject* timers_ = new QObject();
  std::optional<qt::QtToolkit> toolkit_;
  std::shared_ptr<platform::UIViewController> screen_;
  QMetaObject::Connection loadingChanged_;
};

}  // namespace

std::unique_ptr<CheckoutWindow> openQtCheckoutWindow(CheckoutWindowEvents events) {
  // Chromium's sandbox refuses root; turning it off is the user's decision, never ours.
  const char* noSandbox = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
  if (::geteuid() == 0 && !(noSandbox && *noSandbox && std::string(noSandbox) != "0")) {
    throw CommandFailure(kExitUnavailable,
                         "Qt WebEngine does not run as root inside its sandbox; run as another user, or set "
                         "QTWEBENGINE_DISABLE_SANDBOX=1 to run it without");
  }
  application();
  return std::make_unique<QtCheckoutWindow>(std::move(events));
}

}  // namespace velquor::tool

// What the command looks up after loading this module; the caller owns the window.
extern "C" __attribute__((visibility("default"))) velquor::tool::CheckoutWindow* velquorOpenQtCheckoutWindow(
    velquor::tool::CheckoutWindowEvents* events) {
  return velquor::tool::openQtCheckoutWindow(std::move(*events)).release();
}
