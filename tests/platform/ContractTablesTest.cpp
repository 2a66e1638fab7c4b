// The shared tables of presentations and script-message bodies, on the headless toolkit: the fake
// must do what the real toolkits do (the GTK tests run the same tables).

#include <PresentationCases.h>
#include <ScriptMessageBodyCases.h>

#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/NSLog.h>
#include <velquor/platform/WKWebView.h>

#include <gtest/gtest.h>

#include <optional>

using namespace velquor::platform;
using velquor::headless::HeadlessToolkit;
using velquor::headless::HeadlessWebView;
using velquor_testing::PresentationCase;
using velquor_testing::ScriptMessageBodyCase;

namespace {

// Its windows hold their app screens, as real windows hold their content.
class HeadlessPresenting : public velquor_testing::PresentingToolkit {
 public:
  std::shared_ptr<UIViewController> screenInWindow() override { return windows.emplace_back(toolkit->makeAppScreen()); }
  void closeWindowOf(const std::shared_ptr<UIViewController>& screen) override {
    toolkit->closeAppScreen(screen);
    std::erase(windows, screen);
  }
  void uninstall() override { toolkit.reset(); }
  void settle() override {
    if (toolkit) toolkit->runUntilIdle();
  }
  std::optional<HeadlessToolkit> toolkit{std::in_place};
  std::vector<std::shared_ptr<UIViewController>> windows;
};

class HeadlessPresentation : public ::testing::TestWithParam<PresentationCase> {};

TEST_P(HeadlessPresentation, IsShownOrRefusedAsOnTheRealToolkit) {
  HeadlessPresenting toolkit;
  velquor_testing::expectPresentationOutcome(toolkit, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessPresentation, ::testing::ValuesIn(velquor_testing::presentationCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct Recorder : WKScriptMessageHandler {
  std::vector<std::optional<nlohmann::json>> bodies;
  std::vector<std::optional<WKFrameInfo>> frames;
  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&, const WKScriptMessage& message) override {
    bodies.push_back(message.body());
    frames.push_back(message.frameInfo());
  }
};

// Each row in the page world and in a client world, as a checkout registers its handler.
class HeadlessScriptMessageBody : public ::testing::TestWithParam<std::tuple<ScriptMessageBodyCase, bool>> {
 protected:
  void SetUp() override {
    previous = setNSLogHandler([this](const std::string& message) { warnings.push_back(message); });
  }
  void TearDown() override { setNSLogHandler(std::move(previous)); }
  std::vector<std::string> warnings;
  NSLogHandler previous;
};

TEST_P(HeadlessScriptMessageBody, IsDeliveredDroppedAndLoggedAsOnTheRealToolkit) {
  const auto& [row, clientWorld] = GetParam();
  HeadlessToolkit toolkit;
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto recorder = std::make_shared<Recorder>();
  if (clientWorld) {
    configuration->userContentController()->addScriptMessageHandler(recorder, WKContentWorld::defaultClientWorld(), "table");
  } else {
    configuration->userContentController()->addScriptMessageHandler(recorder, "table");
  }
  auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 10, 10), configuration);
  HeadlessWebView* engine = toolkit.webViewPeer(*webView);
  switch (row.posted) {
    case ScriptMessageBodyCase::Posted::value: engine->postScriptMessage("table", row.headless()); break;
    case ScriptMessageBodyCase::Posted::undefined: engine->postScriptMessage("table", std::nullopt); break;
    case ScriptMessageBodyCase::Posted::cyclic: engine->postCyclicScriptMessage("table"); break;
  }
  velquor_testing::expectScriptMessageOutcome(row, clientWorld, recorder->bodies, recorder->frames, warnings);
}

INSTANTIATE_TEST_SUITE_P(Rows, HeadlessScriptMessageBody,
                         ::testing::Combine(::testing::ValuesIn(velquor_testing::scriptMessageBodyCases()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "InAClientWorld" : "");
                         });

}  // namespace
