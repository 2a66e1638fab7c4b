// prewarm() on the Qt toolkit: a hidden spare page whose renderer the next web view takes over.

#include "QtTestSupport.h"

#include <LoopbackServer.h>

#include <VelquorKit/Velquor.h>
#include <velquor/platform/UINavigationController.h>

#include <QWebEngineHistory>
#include <QWebEngineScriptCollection>

#include <nlohmann/json.hpp>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

using namespace velquor::platform;
using namespace qt_test;
using nlohmann::json;
using velquor::qt::QtToolkit;
using velquor_testing::LoopbackServer;

namespace {

constexpr const char* kGatewayPath = "/v2/paymentrequest";

struct PaymentDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::optional<json>> completed;
  void didPaymentCompleted(const std::shared_ptr<UIViewController>&, const std::optional<json>& data) override {
    completed.push_back(data);
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override {}
};

std::shared_ptr<WKWebView> findWebView(const std::shared_ptr<UIView>& view) {
  if (!view) return nullptr;
  if (auto webView = std::dynamic_pointer_cast<WKWebView>(view)) return webView;
  for (const auto& subview : view->subviews()) {
    if (auto found = findWebView(subview)) return found;
  }
  return nullptr;
}

// The parent of a process; 0 once it has gone.
pid_t parentOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text) || text.rfind(')') == std::string::npos) return 0;
  std::istringstream rest(text.substr(text.rfind(')') + 1));
  std::string state;
  pid_t parent = 0;
  rest >> state >> parent;
  return parent;
}

std::string commandLine(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Qt WebEngine's renderer processes that descend from this one: the children its zygote forks (they
// keep the zygote's command line).
std::vector<pid_t> rendererProcesses() {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (!proc) return found;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    const pid_t parent = parentOf(pid);
    if (parent <= 1 || commandLine(parent).find(std::string("--type=zygote") + '\0') == std::string::npos) continue;
    pid_t ancestor = pid;
    while (ancestor > 1 && ancestor != getpid()) ancestor = parentOf(ancestor);
    if (ancestor == getpid()) found.push_back(pid);
  }
  closedir(proc);
  return found;
}

class QtPrewarm : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    gateway.routes().Post(kGatewayPath, [](const httplib::Request& request, httplib::Response& response) {
      const json order = request.get_param_value("order_id");
      response.set_content(
          "<script>onload = () => window.webkit.messageHandlers.paymentResponseIos.postMessage("
          "{status: 'success', order_id: " + order.dump() + ", pages: history.length});</script>",
          "text/html");
    });
    gateway.start();
    // Not through makeToolkit(): these tests prewarm themselves, also in the suite's prewarmed run.
    toolkit.emplace(testOptions());
    screen = toolkit->rootViewControllerForWindow(window);
  }

  void prewarmAndWait() {
    bool ready = false;
    toolkit->prewarm([&] { ready = true; });
    ASSERT_TRUE(spinUntil([&] { return ready; }));
  }

  void launch() {
    VelquorKit::VelquorParams params;
    params.order_id = "order-7";
    params.amount = "10.00";
    VelquorKit::Velquor::presentVelquorContorller(screen, gateway.url(kGatewayPath), params, delegate);
  }

  QWebEnginePage* checkoutPage() const {
    const auto presented = screen->presentedViewController();
    const auto webView = presented ? findWebView(presented->view()) : nullptr;
    QWebEngineView* engine = webView ? QtToolkit::webEngineView(*webView) : nullptr;
    return engine ? engine->page() : nullptr;
  }

  // Launches a checkout and dismisses it once its result is in; the page's renderer at launch.
  qint64 checkoutAndDismiss(int round = 0) {
    const auto completed = delegate->completed.size();
    launch();
    QWebEnginePage* page = checkoutPage();
    EXPECT_NE(page, nullptr);
    const qint64 renderer = page ? page->renderProcessPid() : -1;
    EXPECT_TRUE(spinUntil([&] { return delegate->completed.size() == completed + 1; })) << "round " << round;
    bool dismissed = false;
    screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    EXPECT_TRUE(spinUntil([&] { return dismissed && QtToolkit::livePageCount() == 0; })) << "round " << round;
    return renderer;
  }

  LoopbackServer gateway;
  std::shared_ptr<PaymentDelegate> delegate = std::make_shared<PaymentDelegate>();
};

TEST_F(QtPrewarm, PrewarmingMakesOneHiddenPageUncountedAmongWebViewsAndReportsReadinessOnALaterTurn) {
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 0u);
  bool ready = false;
  toolkit->prewarm([&] { ready = true; });
  EXPECT_FALSE(ready) << "never inside the call";
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 1u);
  ASSERT_TRUE(spinUntil([&] { return ready; }));
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 1u);
  EXPECT_EQ(QtToolkit::liveWebViewCount(), 0u);
  EXPECT_EQ(QtToolkit::livePageCount(), 0u) << "the spare is no WKWebView's page";
}

TEST_F(QtPrewarm, PrewarmingAgainKeepsTheOneSpareAndRunsEachCallbackExactlyOnce) {
  int first = 0;
  int second = 0;
  int third = 0;
  toolkit->prewarm([&] { ++first; });
  toolkit->prewarm([&] { ++second; });  // while the first is still loading
  ASSERT_TRUE(spinUntil([&] { return first == 1 && second == 1; }));
  toolkit->prewarm([&] { ++third; });  // once ready
  EXPECT_EQ(third, 0) << "never inside the call, even when already prewarmed";
  toolkit->prewarm();
  ASSERT_TRUE(spinUntil([&] { return third == 1; }));
  spinFor(200ms);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(third, 1);
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 1u);
}

TEST_F(QtPrewarm, ACheckoutTakesTheSparesRunningRendererAndKeepsNothingOfItsBlankPage) {
  // A cold checkout's page has no renderer when the web view is made: the baseline.
  EXPECT_EQ(checkoutAndDismiss(), 0) << "a page of its own starts its renderer at its first load";
  const auto coldPages = delegate->completed.back()->at("pages");

  prewarmAndWait();
  const auto completed = delegate->completed.size();
  launch();
  QWebEnginePage* page = checkoutPage();
  ASSERT_NE(page, nullptr);
  EXPECT_GT(page->renderProcessPid(), 0) << "the spare's renderer came along";
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 0u) << "taken, not copied";
  EXPECT_EQ(QtToolkit::livePageCount(), 1u) << "now the web view's page, counted as its own";
  EXPECT_EQ(page->scripts().find("velquor-bridge-page").size(), 1u);
  EXPECT_EQ(page->scripts().count(), 2) << "the bridge's two scripts, nothing of the prewarm";
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == completed + 1; }));
  EXPECT_EQ(delegate->completed.back(), json({{"status", "success"}, {"order_id", "order-7"}, {"pages", coldPages}}))
      << "the gateway's page sees as many pages behind it as a cold checkout's does";
  EXPECT_FALSE(page->history()->canGoBack()) << "the blank page is not in the history";
  spinFor(300ms);
  EXPECT_EQ(delegate->completed.size(), completed + 1) << "one result, once";
  EXPECT_EQ(gateway.requestCount(kGatewayPath), 2u);
}

TEST_F(QtPrewarm, ANewSpareIsMadeOnlyOnceTheTakenPageHasGone) {
  prewarmAndWait();
  const auto completed = delegate->completed.size();
  launch();
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == completed + 1; }));
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 0u) << "no second renderer starts while a checkout loads";
  bool dismissed = false;
  screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
  ASSERT_TRUE(spinUntil([&] { return dismissed && QtToolkit::livePageCount() == 0; }));
  ASSERT_TRUE(spinUntil([&] { return QtToolkit::prewarmedPageCount() == 1; }));
  // The next checkout takes the new spare once it is up.
  prewarmAndWait();
  EXPECT_GT(checkoutAndDismiss(), 0);
}

TEST_F(QtPrewarm, TwentyPrewarmedCheckoutsLeaveNothingAliveAndTheSpareGoesWithTheToolkit) {
  std::vector<std::weak_ptr<UIViewController>> controllers;
  for (int round = 0; round < 20; ++round) {
    prewarmAndWait();
    launch();
    ASSERT_NE(checkoutPage(), nullptr);
    EXPECT_GT(checkoutPage()->renderProcessPid(), 0) << "round " << round;
    controllers.push_back(std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController())
                              ->topViewController());
    ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == static_cast<std::size_t>(round + 1); }));
    bool dismissed = false;
    screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  }
  ASSERT_TRUE(spinUntil([&] { return QtToolkit::livePageCount() == 0 && QtToolkit::liveWebViewCount() == 0; }));
  for (const auto& controller : controllers) EXPECT_TRUE(controller.expired());
  for (const auto& result : delegate->completed) EXPECT_EQ(result->at("order_id"), "order-7");
  ASSERT_TRUE(spinUntil([&] { return QtToolkit::prewarmedPageCount() == 1; }));
  screen.reset();
  toolkit.reset();
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 0u);
}

TEST_F(QtPrewarm, WhenTheSparesRendererDiesTheSpareLoadsAgainInANewOneForTheNextCheckout) {
  prewarmAndWait();
  const auto before = rendererProcesses();
  ASSERT_EQ(before.size(), 1u) << "the spare's renderer is the only one";
  ASSERT_EQ(kill(before.front(), SIGKILL), 0);
  ASSERT_TRUE(spinUntil([&] {
    const auto now = rendererProcesses();
    return now.size() == 1 && now.front() != before.front();
  })) << "a new renderer for the spare";
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 1u);
  prewarmAndWait();
  launch();
  ASSERT_NE(checkoutPage(), nullptr);
  EXPECT_GT(checkoutPage()->renderProcessPid(), 0);
  EXPECT_NE(checkoutPage()->renderProcessPid(), before.front());
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 1; }));
  EXPECT_EQ(delegate->completed.back()->at("order_id"), "order-7");
}

TEST_F(QtPrewarm, ReadinessIsDroppedWhenTheToolkitGoesFirst) {
  bool ready = false;
  toolkit->prewarm([&] { ready = true; });
  screen.reset();
  toolkit.reset();
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 0u);
  spinFor(1500ms);
  EXPECT_FALSE(ready);
}

TEST_F(QtPrewarm, AWebViewMadeWhileTheSpareIsStillLoadingGetsAPageOfItsOwn) {
  toolkit->prewarm();
  launch();
  ASSERT_NE(checkoutPage(), nullptr);
  EXPECT_EQ(QtToolkit::prewarmedPageCount(), 1u) << "the spare stays for a later web view";
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 1; }));
  bool dismissed = false;
  screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
  ASSERT_TRUE(spinUntil([&] { return dismissed && QtToolkit::livePageCount() == 0; }));
  prewarmAndWait();
  EXPECT_GT(checkoutAndDismiss(), 0);
}

}  // namespace
