// The suite's driver for the Qt toolkit on Qt WebEngine.

#include "ToolkitDriver.h"

#include "QtTestSupport.h"

#include <QMessageBox>
#include <QPushButton>
#include <QVariantAnimation>
#include <QWebEngineLoadingInfo>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace e2e {
namespace {

using namespace velquor::platform;
using velquor::qt::QtToolkit;

// The widgets' names the toolkit gives them.
constexpr const char* kPageName = "velquor-presented-page";
constexpr const char* kBarTitleName = "velquor-bar-title";
constexpr const char* kBarButtonName = "velquor-bar-button";
// The scheme of the toolkit's form pages.
constexpr const char* kFormPageScheme = "velquor-checkout";
// UIColor.systemRedColor, a destructive action's text.
const QColor kDestructive(255, 59, 48);

// Refuses every main-frame request of one page but for the toolkit's own form page, recording each.
class RefusingInterceptor final : public QWebEngineUrlRequestInterceptor {
 public:
  explicit RefusingInterceptor(std::vector<NavigationAttempt>& attempts) : attempts_(attempts) {}
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame) return;
    attempts_.push_back({info.requestUrl().toString().toStdString(), info.requestMethod().toStdString()});
    if (info.requestUrl().scheme() != QLatin1String(kFormPageScheme)) info.block(true);
  }

 private:
  std::vector<NavigationAttempt>& attempts_;
};

class QtToolkitDriver final : public ToolkitDriver {
 public:
  ~QtToolkitDriver() override { QtToolkitDriver::tearDown(); }

  std::shared_ptr<UIViewController> makeToolkit(std::chrono::milliseconds transition) override {
    if (!window_) openWindow();
    toolkit_.reset();
    velquor::qt::QtToolkitOptions options;
    options.transitionDuration = transition;
    options.presentationCompletesAtStart = presentationsCompleteAtStart;
    options.loadFailed = [this](const std::string& url, const NSError&) { failedLoads.push_back(url); };
    toolkit_.emplace(std::move(options));
    return toolkit_->rootViewControllerForWindow(window_);
  }

  void tearDown() override {
    toolkit_.reset();
    destroyWindow();
    interceptors_.clear();
    qt_test::spinFor(50ms);
  }

  void destroyWindow() override { delete std::exchange(window_, nullptr); }

  bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) override {
    return qt_test::spinUntil(condition, timeout);
  }

  std::optional<std::string> evaluateJSON(const WKWebView& webView, const std::string& script) override {
    // eval gives the value of the script's last statement, as WebKit's evaluation does.
    const std::string wrapped = "JSON.stringify(eval(" + nlohmann::json(script).dump() + "))";
    struct Result {
      bool done = false;
      std::optional<std::string> json;
    };
    auto result = std::make_shared<Result>();
    page(webView)->runJavaScript(QString::fromStdString(wrapped), QWebEngineScript::MainWorld,
                                 [result](const QVariant& value) {
                                   if (value.typeId() == QMetaType::QString) result->json = value.toString().toStdString();
                                   result->done = true;
                                 });
    if (!spinUntil([&] { return result->done; }, kPatience)) return std::nullopt;
    return result->json;
  }

  bool isLoading(const WKWebView& webView) override { return webView.isLoading(); }

  bool showsFormPage(const WKWebView& webView) override {
    return page(webView)->url().scheme() == QLatin1String(kFormPageScheme);
  }

  void observeLoads(const WKWebView& webView, std::function<void(bool started)> observer) override {
    // Connected after the toolkit's own handling, so it runs after it.
    QObject::connect(page(webView), &QWebEnginePage::loadingChanged, window_,
                     [observer = std::move(observer)](const QWebEngineLoadingInfo& info) {
                       observer(info.status() == QWebEngineLoadingInfo::LoadStartedStatus);
                     });
  }

  SpinnerOnScreen spinnerOnScreen(const UIActivityIndicatorView& spinner) override {
    QWidget* widget = toolkit_->widgetForView(spinner);
    if (!widget) return {};
    const auto* rotation = widget->findChild<QVariantAnimation*>();
    return {widget->isVisible(), rotation && rotation->state() == QAbstractAnimation::Running};
  }

  SpinnerPlacement spinnerPlacement(const UIActivityIndicatorView& spinner, const WKWebView& webView) override {
    QWidget* widget = toolkit_->widgetForView(spinner);
    QWidget* view = QtToolkit::webEngineView(webView);
    if (!widget || !view || widget->parentWidget() != view->parentWidget() || !widget->parentWidget()) return {};
    // Later siblings are drawn above earlier ones.
    const auto& siblings = widget->parentWidget()->children();
    const auto centre = widget->geometry().center();
    const auto middle = widget->parentWidget()->rect().center();
    return {siblings.indexOf(widget) > siblings.indexOf(view),
            std::abs(centre.x() - middle.x()) <= 1 && std::abs(centre.y() - middle.y()) <= 1};
  }

  bool showsCheckout(const UIViewController& navigation) override {
    QWidget* page = toolkit_->widgetForViewController(navigation);
    return page && page->isVisible() && page->geometry() == window_->rect();
  }

  bool sliding() override {
    for (QWidget* page : window_->findChildren<QWidget*>(kPageName)) {
      for (auto* animation : page->findChildren<QVariantAnimation*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (animation->state() == QAbstractAnimation::Running) return true;
      }
    }
    return false;
  }

  bool showsAppContent() override {
    for (QWidget* page : window_->findChildren<QWidget*>(kPageName)) {
      if (page->isVisible()) return false;
    }
    return appContent_->isVisible();
  }

  std::optional<std::pair<std::string, std::string>> barOnScreen(const UINavigationController& navigation) override {
    QWidget* bar = toolkit_->widgetForView(*navigation.navigationBar());
    auto* title = bar ? bar->findChild<QLabel*>(kBarTitleName) : nullptr;
    auto* button = bar ? bar->findChild<QPushButton*>(kBarButtonName) : nullptr;
    if (!bar || !bar->isVisible() || !title || !button) return std::nullopt;
    return std::pair{title->text().toStdString(), button->text().toStdString()};
  }

  bool pressCancel(const UINavigationController& navigation) override {
    QWidget* bar = toolkit_->widgetForView(*navigation.navigationBar());
    auto* cancel = bar ? bar->findChild<QPushButton*>(kBarButtonName) : nullptr;
    if (!cancel) return false;
    cancel->click();
    return true;
  }

  std::optional<AlertOnScreen> alertOnScreen(const UIAlertController& alert) override {
    auto* box = qobject_cast<QMessageBox*>(toolkit_->widgetForViewController(alert));
    if (!box || !box->isVisible() || visibleMessageBoxes() != 1) return std::nullopt;
    AlertOnScreen shown{box->text().toStdString(), {}};
    for (auto* button : box->buttons()) {
      shown.buttons.push_back({button->text().toStdString(), button->palette().color(QPalette::ButtonText) == kDestructive});
    }
    return shown;
  }

  bool anyAlertOnScreen() override { return visibleMessageBoxes() > 0; }

  bool chooseAlertButton(const UIAlertController& alert, const std::string& label) override {
    auto* box = qobject_cast<QMessageBox*>(toolkit_->widgetForViewController(alert));
    if (!box) return false;
    for (auto* button : box->buttons()) {
      if (button->text().toStdString() == label) {
        button->click();
        return true;
      }
    }
    return false;
  }

  std::vector<pid_t> pageProcesses(const WKWebView& webView) override {
    const auto pid = page(webView)->renderProcessPid();
    if (pid <= 0) return {};
    return {static_cast<pid_t>(pid)};
  }

  LiveEngines liveEngines() override { return {QtToolkit::liveWebViewCount(), QtToolkit::livePageCount()}; }

  EngineError engineErrorFor(Fault fault) const override {
    switch (fault) {
      case Fault::closedPort:
        return {"QtWebEngineConnectionErrorDomain", -102};  // net::ERR_CONNECTION_REFUSED
      case Fault::untrustedCertificate:
        return {"QtWebEngineCertificateErrorDomain", -202};  // net::ERR_CERT_AUTHORITY_INVALID
    }
    return {};
  }

  void refuseNavigations(const WKWebView& webView, std::vector<NavigationAttempt>& attempts) override {
    interceptors_.push_back(std::make_unique<RefusingInterceptor>(attempts));
    page(webView)->setUrlRequestInterceptor(interceptors_.back().get());
  }

  bool isFormPageAddress(const std::string& url) const override {
    return QUrl(QString::fromStdString(url)).scheme() == QLatin1String(kFormPageScheme);
  }

 private:
  static QWebEnginePage* page(const WKWebView& webView) { return QtToolkit::webEngineView(webView)->page(); }

  static int visibleMessageBoxes() {
    int visible = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(widget) && widget->isVisible()) ++visible;
    }
    return visible;
  }

  void openWindow() {
    qt_test::application();
    window_ = new QWidget();
    window_->resize(480, 640);
    auto* layout = new QVBoxLayout(window_);
    appContent_ = new QLabel("The app's own content");
    layout->addWidget(appContent_);
    window_->show();
    if (!qt_test::spinUntil([&] { return window_->windowHandle() && window_->windowHandle()->isExposed(); })) {
      ADD_FAILURE() << "the app window was not exposed";
    }
  }

  QWidget* window_ = nullptr;
  QLabel* appContent_ = nullptr;
  std::optional<QtToolkit> toolkit_;
  // Outlive the pages they were given to (the pages go with the toolkit).
  std::vector<std::unique_ptr<RefusingInterceptor>> interceptors_;
};

}  // namespace

std::unique_ptr<ToolkitDriver> makeToolkitDriver() { return std::make_unique<QtToolkitDriver>(); }

const char* toolkitName() { return "qt"; }

}  // namespace e2e
