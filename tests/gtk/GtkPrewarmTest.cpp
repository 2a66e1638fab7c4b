#include "GtkTestSupport.h"

#include <VelquorKit/Velquor.h>
#include <velquor/platform/UINavigationController.h>

#include <nlohmann/json.hpp>

#include <signal.h>

using namespace velquor::platform;
using namespace gtk_test;
using nlohmann::json;
using velquor::gtk::GtkToolkit;

namespace {

constexpr const char* kGatewayPath = "/v2/paymentrequest";

using velquor_testing::ownWebProcessCount;
using velquor_testing::ownWebProcesses;

struct ResultDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::optional<json>> completed;
  std::function<void()> onCompleted;
  void didPaymentCompleted(const std::shared_ptr<UIViewController>&, const std::optional<json>& data) override {
    completed.push_back(data);
    if (onCompleted) onCompleted();
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override {}
};

class GtkPrewarm : public GtkWindowTest {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    gateway.routes().Post(kGatewayPath, [](const httplib::Request& request, httplib::Response& response) {
      const json order = request.get_param_value("order_id");
      const std::string result = "{status: 'success', order_id: " + order.dump() + "}";
      response.set_content("<script>onload = () => window.webkit.messageHandlers.paymentResponseIos.postMessage(" +
                               result + ");</script>",
                           "text/html");
    });
    gateway.start();
  }

  void prewarmAndWait() {
    bool ready = false;
    toolkit->prewarm([&] { ready = true; });
    ASSERT_TRUE(spinUntil([&] { return ready; }));
  }

  void launch() {
    VelquorKit::VelquorParams params;
    params.order_id = "order-7";
    VelquorKit::Velquor::presentVelquorContorller(screen, gateway.url(kGatewayPath), params, delegate);
  }

  std::shared_ptr<UIViewController> checkout() const {
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
    return navigation ? navigation->topViewController() : nullptr;
  }

  std::shared_ptr<WKWebView> webView() const {
    return std::dynamic_pointer_cast<WKWebView>(checkout()->view()->subviews().at(0));
  }
  WebKitWebView* engine() const { return GtkToolkit::webKitWebView(*webView()); }

  // As an app does once it has the result; true when everything of the checkout has gone.
  bool dismissAndRelease() {
    std::weak_ptr<UIViewController> controller = checkout();
    bool dismissed = false;
    screen->dismissViewControllerAnimated(true, [&] { dismissed = true; });
    return spinUntil([&] { return dismissed && controller.expired() && GtkToolkit::liveWebViewCount() == 0; });
  }

  LoopbackServer gateway;
  std::shared_ptr<ResultDelegate> delegate = std::make_shared<ResultDelegate>();
};

TEST_F(GtkPrewarm, PrewarmingStartsOneHiddenWebProcessAndReportsReadinessOnALaterTurn) {
  makeToolkit();
  EXPECT_EQ(ownWebProcessCount(), 0u) << "WebKit starts no process before a web view needs one";
  bool ready = false;
  toolkit->prewarm([&] { ready = true; });
  EXPECT_FALSE(ready) << "never inside the call";
  ASSERT_TRUE(spinUntil([&] { return ready; }));
  EXPECT_EQ(ownWebProcessCount(), 1u);
  EXPECT_EQ(GtkToolkit::liveWebViewCount(), 0u) << "the hidden web view is no WKWebView's, so it is not counted";
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), appContent) << "nothing of it is shown";
  EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(GtkPrewarm, PrewarmingAgainKeepsTheOneProcessAndRunsEachCallbackExactlyOnce) {
  makeToolkit();
  int first = 0;
  int second = 0;
  toolkit->prewarm([&] { ++first; });
  toolkit->prewarm([&] { ++second; });  // while the first is still starting
  ASSERT_TRUE(spinUntil([&] { return first == 1 && second == 1; }));

  int third = 0;
  toolkit->prewarm([&] { ++third; });  // once ready
  EXPECT_EQ(third, 0) << "never inside the call, even when already prewarmed";
  ASSERT_TRUE(spinUntil([&] { return third == 1; }));
  toolkit->prewarm();  // no callback at all is fine too
  spinFor(300ms);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(third, 1);
  EXPECT_EQ(ownWebProcessCount(), 1u);
}

TEST_F(GtkPrewarm, ACheckoutAfterPrewarmRunsInThePrewarmedProcessPostsAsBeforeAndLeavesNothingBehind) {
  makeToolkit();
  prewarmAndWait();
  std::size_t processesDuringCheckout = 0;
  delegate->onCompleted = [&] { processesDuringCheckout = ownWebProcessCount(); };
  launch();
  ASSERT_TRUE(spinUntil([&] { return !delegate->completed.empty(); }));

  const auto requests = gateway.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].userAgent, "Velquor-iOS-SDK");
  EXPECT_NE(requests[0].body.find("order_id=order-7"), std::string::npos);
  EXPECT_EQ(delegate->completed.at(0), json({{"status", "success"}, {"order_id", "order-7"}}));
  EXPECT_EQ(processesDuringCheckout, 1u) << "the checkout shares the prewarmed process";
  EXPECT_EQ(GtkToolkit::liveWebViewCount(), 1u) << "the checkout's web view counts; the hidden one does not";

  ASSERT_TRUE(dismissAndRelease());
  EXPECT_EQ(GtkToolkit::liveWebViewCount(), 0u);
  EXPECT_EQ(ownWebProcessCount(), 1u) << "the prewarmed process stays for the next checkout";
}

TEST_F(GtkPrewarm, WithoutPrewarmACheckoutsOwnProcessStartsWithItsWebViewWhileTheScreenSlidesIn) {
  auto options = testOptions();
  options.transitionDuration = 3s;  // long enough to look while the slide runs
  makeToolkit(options);
  launch();
  ASSERT_NE(checkout(), nullptr);
  EXPECT_TRUE(spinUntil([&] { return ownWebProcessCount() == 1; }, 2500ms));
  EXPECT_FALSE(webView()->isLoading()) << "the checkout's own page has not started loading yet";

  ASSERT_TRUE(spinUntil([&] { return !delegate->completed.empty(); }));
  EXPECT_EQ(ownWebProcessCount(), 1u) << "one process: the web view's own, not one more for the page";
  ASSERT_TRUE(dismissAndRelease());
}

TEST_F(GtkPrewarm, APageLoadedBeforeItsOwnProcessIsUpGetsThatProcess) {
  auto options = testOptions();
  options.transitionDuration = 3s;
  // The page's load comes at the slide's start, long before a web process is up.
  options.presentationCompletesAtStart = true;
  makeToolkit(options);
  launch();
  ASSERT_NE(checkout(), nullptr);
  ASSERT_TRUE(spinUntil([&] { return webView()->isLoading(); }, 1s));
  std::size_t processesDuringCheckout = 0;
  delegate->onCompleted = [&] { processesDuringCheckout = ownWebProcessCount(); };
  ASSERT_TRUE(spinUntil([&] { return !delegate->completed.empty(); }));
  EXPECT_EQ(processesDuringCheckout, 1u) << "the page has the process launched with its web view";
  EXPECT_EQ(gateway.requestCount(kGatewayPath), 1u);
  ASSERT_TRUE(dismissAndRelease());
}

TEST_F(GtkPrewarm, WhenThePrewarmedProcessDiesAnotherTakesItsPlaceAndCheckoutsShareIt) {
  makeToolkit();
  prewarmAndWait();
  const auto killed = ownWebProcesses();
  ASSERT_EQ(killed.size(), 1u);
  ASSERT_EQ(kill(killed[0], SIGKILL), 0);
  std::vector<pid_t> restarted;
  ASSERT_TRUE(spinUntil([&] {
    restarted = ownWebProcesses();
    return restarted.size() == 1 && restarted[0] != killed[0];
  }));
  prewarmAndWait();
  EXPECT_EQ(ownWebProcesses(), restarted) << "prewarming again finds the new one up";

  std::vector<pid_t> duringCheckout;
  delegate->onCompleted = [&] { duringCheckout = ownWebProcesses(); };
  launch();
  ASSERT_TRUE(spinUntil([&] { return !delegate->completed.empty(); }));
  EXPECT_EQ(gateway.requestCount(kGatewayPath), 1u);
  EXPECT_EQ(duringCheckout, restarted) << "the checkout runs in the process that took the dead one's place";
  ASSERT_TRUE(dismissAndRelease());
}

TEST_F(GtkPrewarm, PrewarmingReadinessIsDroppedWhenTheToolkitGoesFirst) {
  makeToolkit();
  bool ready = false;
  toolkit->prewarm([&] { ready = true; });
  toolkit.reset();
  spinFor(1s);
  EXPECT_FALSE(ready);
}

}  // namespace
