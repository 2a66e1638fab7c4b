// The shared tables of presentations and script-message bodies, on GTK and the real WebKit engine
// (the headless toolkit runs the same tables).

#include "GtkTestSupport.h"

#include <PresentationCases.h>
#include <ScriptMessageBodyCases.h>

#include <velquor/platform/NSLog.h>
#include <velquor/platform/WKWebView.h>

using namespace velquor::platform;
using namespace gtk_test;
using velquor_testing::PresentationCase;
using velquor_testing::ScriptMessageBodyCase;

namespace {

class GtkPresenting : public velquor_testing::PresentingToolkit {
 public:
  explicit GtkPresenting(GtkWindow* window) : window_(window) {
    velquor::gtk::GtkToolkitOptions options;
    options.transitionDuration = std::chrono::milliseconds(0);
    options.ephemeralNetworkSession = true;
    toolkit.emplace(options);
  }
  std::shared_ptr<UIViewController> screenInWindow() override { return toolkit->rootViewControllerForWindow(window_); }
  void closeWindowOf(const std::shared_ptr<UIViewController>&) override {
    gtk_window_destroy(window_);
    window_ = nullptr;
  }
  void uninstall() override { toolkit.reset(); }
  void settle() override { spinFor(200ms); }
  GtkWindow* window() const { return window_; }

  std::optional<velquor::gtk::GtkToolkit> toolkit;

 private:
  GtkWindow* window_;
};

class GtkPresentationTable : public GtkWindowTest, public ::testing::WithParamInterface<PresentationCase> {};

TEST_P(GtkPresentationTable, IsShownOrRefusedAsTheTableSays) {
  GtkPresenting presenting(window);
  velquor_testing::expectPresentationOutcome(presenting, GetParam());
  if (!presenting.window()) window = nullptr;  // closed by the case
}

INSTANTIATE_TEST_SUITE_P(Cases, GtkPresentationTable, ::testing::ValuesIn(velquor_testing::presentationCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct MessageRecorder : WKScriptMessageHandler {
  std::vector<std::optional<nlohmann::json>> bodies;
  std::vector<std::optional<WKFrameInfo>> frames;
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage& message) override {
    bodies.push_back(message.body());
    frames.push_back(message.frameInfo());
  }
};

// Each row in the page world (WebKit's own handler) and in a client world (the toolkit's bridge).
class GtkScriptMessageBodyTable : public GtkWindowTest,
                                  public ::testing::WithParamInterface<std::tuple<ScriptMessageBodyCase, bool>> {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    makeToolkit();
    previous = setNSLogHandler([this](const std::string& message) { warnings.push_back(message); });
  }
  void TearDown() override {
    setNSLogHandler(std::move(previous));
    webView.reset();
    GtkWindowTest::TearDown();
  }
  std::vector<std::string> warnings;
  NSLogHandler previous;
  std::shared_ptr<WKWebView> webView;
};

TEST_P(GtkScriptMessageBodyTable, IsDeliveredDroppedAndLoggedAsTheTableSays) {
  const auto& [row, clientWorld] = GetParam();
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto recorder = std::make_shared<MessageRecorder>();
  auto end = std::make_shared<MessageRecorder>();
  auto world = clientWorld ? WKContentWorld::defaultClientWorld() : WKContentWorld::pageWorld();
  configuration->userContentController()->addScriptMessageHandler(recorder, world, "table");
  configuration->userContentController()->addScriptMessageHandler(end, world, "end");
  webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
  WebKitWebView* engine = velquor::gtk::GtkToolkit::webKitWebView(*webView);
  gtk_window_set_child(window, GTK_WIDGET(engine));
  webView->loadHTMLString("<p>page</p>", std::nullopt);
  ASSERT_TRUE(spinUntil([&] { return !webkit_web_view_is_loading(engine); }));

  // Posted in order on one channel after another: once "end" has arrived, so has everything before it.
  evaluateJSON(engine, "window.webkit.messageHandlers.table.postMessage(" + row.script +
                           "); window.webkit.messageHandlers.end.postMessage(1); 1");
  ASSERT_TRUE(spinUntil([&] { return !end->bodies.empty(); }));
  spinFor(100ms);
  velquor_testing::expectScriptMessageOutcome(row, clientWorld, recorder->bodies, recorder->frames, warnings);
}

INSTANTIATE_TEST_SUITE_P(Rows, GtkScriptMessageBodyTable,
                         ::testing::Combine(::testing::ValuesIn(velquor_testing::scriptMessageBodyCases()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "InAClientWorld" : "");
                         });

}  // namespace
