// The shared tables of presentations and script-message bodies, on Qt and the real Qt WebEngine
// engine (the headless and GTK toolkits run the same tables).

#include "QtTestSupport.h"

#include <PresentationCases.h>
#include <ScriptMessageBodyCases.h>

#include <velquor/platform/NSLog.h>
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

struct MessageRecorder : WKScriptMessageHandler {
  std::vector<std::optional<nlohmann::json>> bodies;
  std::vector<std::optional<WKFrameInfo>> frames;
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage& message) override {
    bodies.push_back(message.body());
    frames.push_back(message.frameInfo());
  }
};

// Each row with a handler in the page world and in a client world.
class QtScriptMessageBodyTable : public QtWindowTest,
                                 public ::testing::WithParamInterface<std::tuple<ScriptMessageBodyCase, bool>> {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    makeToolkit();
    previous = setNSLogHandler([this](const std::string& message) { warnings.push_back(message); });
  }
  void TearDown() override {
    setNSLogHandler(std::move(previous));
    webView.reset();
    QtWindowTest::TearDown();
  }
  std::vector<std::string> warnings;
  NSLogHandler previous;
  std::shared_ptr<WKWebView> webView;
};

TEST_P(QtScriptMessageBodyTable, IsDeliveredDroppedAndLoggedAsTheTableSays) {
  const auto& [row, clientWorld] = GetParam();
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto recorder = std::make_shared<MessageRecorder>();
  auto end = std::make_shared<MessageRecorder>();
  auto world = clientWorld ? WKContentWorld::defaultClientWorld() : WKContentWorld::pageWorld();
  configuration->userContentController()->addScriptMessageHandler(recorder, world, "table");
  configuration->userContentController()->addScriptMessageHandler(end, world, "end");
  webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
  QWebEngineView* engine = velquor::qt::QtToolkit::webEngineView(*webView);
  ASSERT_NE(engine, nullptr);
  engine->setParent(window);
  engine->show();
  webView->loadHTMLString("<p>page</p>", std::nullopt);
  // A prewarmed page shows about:blank, not nothing, until its first document of its own.
  ASSERT_TRUE(spinUntil([&] {
    const QUrl url = engine->page()->url();
    return !engine->page()->isLoading() && url.isValid() && url != QUrl("about:blank");
  }));

  // Posted in order on one channel after another: once "end" has arrived, so has everything before it.
  runScript(engine->page(), "window.webkit.messageHandlers.table.postMessage(" + row.script +
                                "); window.webkit.messageHandlers.end.postMessage(1);");
  ASSERT_TRUE(spinUntil([&] { return !end->bodies.empty(); }));
  spinFor(100ms);
  velquor_testing::expectScriptMessageOutcome(row, clientWorld, recorder->bodies, recorder->frames, warnings);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtScriptMessageBodyTable,
                         ::testing::Combine(::testing::ValuesIn(velquor_testing::scriptMessageBodyCases()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "InAClientWorld" : "");
                         });

}  // namespace
