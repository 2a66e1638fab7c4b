#pragma once

// The script-message body table played on a real engine: the toolkit's test shows a web view with
// a small page and runs page script; the rest is the same on every engine.

#include "ScriptMessageBodyCases.h"

#include <velquor/platform/NSLog.h>
#include <velquor/platform/WKContentWorld.h>
#include <velquor/platform/WKScriptMessage.h>
#include <velquor/platform/WKScriptMessageHandler.h>
#include <velquor/platform/WKUserContentController.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WKWebViewConfiguration.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

namespace velquor_testing {

class RealEngineTable {
 public:
  virtual ~RealEngineTable() = default;
  // Shows `webView` in the test's window with a small page loaded.
  virtual ::testing::AssertionResult showWithPage(const std::shared_ptr<velquor::platform::WKWebView>& webView) = 0;
  // Runs `script` in that page's own world.
  virtual void runInPage(const std::string& script) = 0;
  virtual bool spinUntil(const std::function<bool()>& condition) = 0;
  virtual void spinFor(std::chrono::milliseconds duration) = 0;
};

struct ScriptMessageRecorder : velquor::platform::WKScriptMessageHandler {
  std::vector<std::optional<nlohmann::json>> bodies;
  std::vector<std::optional<velquor::platform::WKFrameInfo>> frames;
  void didReceiveScriptMessage(const std::shared_ptr<velquor::platform::WKUserContentController>&,
                               const velquor::platform::WKScriptMessage& message) override {
    bodies.push_back(message.body());
    frames.push_back(message.frameInfo());
  }
};

// Plays `row` with the handler in the page world or in a client world.
inline void playScriptMessageBodyRow(RealEngineTable& engine, const ScriptMessageBodyCase& row, bool clientWorld) {
  using namespace velquor::platform;
  std::vector<std::string> warnings;
  auto previous = setNSLogHandler([&warnings](const std::string& message) { warnings.push_back(message); });
  struct Restore {
    NSLogHandler& previous;
    ~Restore() { setNSLogHandler(std::move(previous)); }
  } restore{previous};

  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto recorder = std::make_shared<ScriptMessageRecorder>();
  auto end = std::make_shared<ScriptMessageRecorder>();
  auto world = clientWorld ? WKContentWorld::defaultClientWorld() : WKContentWorld::pageWorld();
  configuration->userContentController()->addScriptMessageHandler(recorder, world, "table");
  configuration->userContentController()->addScriptMessageHandler(end, world, "end");
  auto webView = WKWebView::initWithFrame(CGRectMake(0, 0, 480, 640), configuration);
  ASSERT_TRUE(engine.showWithPage(webView));

  // Posted in order on one channel after another: once "end" has arrived, so has everything before it.
  engine.runInPage("window.webkit.messageHandlers.table.postMessage(" + row.script +
                   "); window.webkit.messageHandlers.end.postMessage(1); 1");
  ASSERT_TRUE(engine.spinUntil([&] { return !end->bodies.empty(); }));
  engine.spinFor(std::chrono::milliseconds(100));
  expectScriptMessageOutcome(row, clientWorld, recorder->bodies, recorder->frames, warnings);
}

inline std::string scriptMessageBodyRowName(const ::testing::TestParamInfo<std::tuple<ScriptMessageBodyCase, bool>>& info) {
  return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "InAClientWorld" : "");
}

}  // namespace velquor_testing
