// The shared tables of presentations and script-message bodies, on Qt and the real Qt WebEngine
// engine (the headless and GTK toolkits run the same tables).

#include "QtTestSupport.h"

#include <PresentationCases.h>
#include <ScriptMessageBodyRun.h>

#include <velquor/platform/WKWebView.h>

using namespace velquor::platform;
using namespace qt_test;
using velquor_testing::PresentationCase;
using velquor_testing::ScriptMessageBodyCase;

namespace {

class QtPresenting : public velquor_testing::PresentingToolkit {
 public:
  explicit QtPresenting(QWidget*& window) : window_(window) {
    velquor::qt::QtToolkitOptions options;
    options.transitionDuration = std::chrono::milliseconds(0);
    toolkit.emplace(options);
  }
  std::shared_ptr<UIViewController> screenInWindow() override { return toolkit->rootViewControllerForWindow(window_); }
  void closeWindowOf(const std::shared_ptr<UIViewController>&) override {
    delete window_;
    window_ = nullptr;
  }
  void uninstall() override { toolkit.reset(); }
  void settle() override { spinFor(200ms); }

  std::optional<velquor::qt::QtToolkit> toolkit;

 private:
  QWidget*& window_;
};

class QtPresentationTable : public QtWindowTest, public ::testing::WithParamInterface<PresentationCase> {};

TEST_P(QtPresentationTable, IsShownOrRefusedAsTheTableSays) {
  QtPresenting presenting(window);
  velquor_testing::expectPresentationOutcome(presenting, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, QtPresentationTable, ::testing::ValuesIn(velquor_testing::presentationCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Each row with a handler in the page world and in a client world.
class QtScriptMessageBodyTable : public QtWindowTest,
                                 public velquor_testing::RealEngineTable,
                                 public ::testing::WithParamInterface<std::tuple<ScriptMessageBodyCase, bool>> {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
  }
  ::testing::AssertionResult showWithPage(const std::shared_ptr<WKWebView>& webView) override {
    engine = velquor::qt::QtToolkit::webEngineView(*webView);
    if (!engine) return ::testing::AssertionFailure() << "no engine view";
    engine->setParent(window);
    engine->show();
    webView->loadHTMLString("<p>page</p>", std::nullopt);
    // A prewarmed page shows about:blank, not nothing, until its first document of its own.
    if (!qt_test::spinUntil([&] {
          const QUrl url = engine->page()->url();
          return !engine->page()->isLoading() && url.isValid() && url != QUrl("about:blank");
        })) {
      return ::testing::AssertionFailure() << "the page never loaded";
    }
    return ::testing::AssertionSuccess();
  }
  void runInPage(const std::string& script) override { runScript(engine->page(), script); }
  bool spinUntil(const std::function<bool()>& condition) override { return qt_test::spinUntil(condition); }
  void spinFor(std::chrono::milliseconds duration) override { qt_test::spinFor(duration); }

  QWebEngineView* engine = nullptr;
};

TEST_P(QtScriptMessageBodyTable, IsDeliveredDroppedAndLoggedAsTheTableSays) {
  const auto& [row, clientWorld] = GetParam();
  velquor_testing::playScriptMessageBodyRow(*this, row, clientWorld);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtScriptMessageBodyTable,
                         ::testing::Combine(::testing::ValuesIn(velquor_testing::scriptMessageBodyCases()), ::testing::Bool()),
                         velquor_testing::scriptMessageBodyRowName);

}  // namespace
