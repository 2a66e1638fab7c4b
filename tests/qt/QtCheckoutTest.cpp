// The VelquorKit checkout, unchanged, on the Qt toolkit against a loopback gateway.

#include "QtTestSupport.h"

#include <LoopbackServer.h>

#include <VelquorKit/Velquor.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UINavigationController.h>

#include <QMessageBox>
#include <QPushButton>

#include <nlohmann/json.hpp>

using namespace velquor::platform;
using namespace qt_test;
using nlohmann::json;
using velquor_testing::LoopbackServer;

namespace {

constexpr const char* kGatewayPath = "/v2/paymentrequest";

struct PaymentDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::optional<json>> completed;
  int canceled = 0;
  // Holds nothing of the checkout: a test can tell whether the checkout let everything go.
  void didPaymentCompleted(const std::shared_ptr<UIViewController>&, const std::optional<json>& data) override {
    completed.push_back(data);
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override { ++canceled; }
};

// A gateway page that reports its result twice, with what it was posted.
std::string resultPage(const httplib::Request& request) {
  const json order = request.get_param_value("order_id");
  const json amount = request.get_param_value("amount");
  return "<html><body><p id='order'>payment page</p><img src='/pixel'><script>"
         "const post = (value) => window.webkit.messageHandlers.paymentResponseIos.postMessage(value);"
         "onload = () => {"
         "  post({status: 'success', order_id: " + order.dump() + ", amount: " + amount.dump() + ", seq: 1});"
         "  post({status: 'success', order_id: " + order.dump() + ", seq: 2});"
         "};</script></body></html>";
}

class QtCheckout : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    gateway.routes().Post(kGatewayPath, [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(resultPage(request), "text/html");
    });
    gateway.routes().Get("/pixel", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("", "image/png");
    });
    gateway.start();
    makeToolkit();
  }

  static VelquorKit::VelquorParams params() {
    VelquorKit::VelquorParams params;
    params.order_id = "order-42";
    params.amount = "100.00";
    params.currency = "INR";
    return params;
  }

  void launch() { VelquorKit::Velquor::presentVelquorContorller(screen, gateway.url(kGatewayPath), params(), delegate); }

  std::shared_ptr<UINavigationController> navigation() const {
    return std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
  }

  LoopbackServer gateway;
  std::shared_ptr<PaymentDelegate> delegate = std::make_shared<PaymentDelegate>();
};

TEST_F(QtCheckout, TheGatewayGetsThePostWithTheWholeUserAgentAndEachResultReachesTheDelegateOnce) {
  launch();
  ASSERT_NE(navigation(), nullptr);
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 2 && gateway.requestCount("/pixel") == 1; }));
  spinFor(500ms);
  const auto requests = gateway.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_NE(requests[0].body.find("order_id=order-42"), std::string::npos);
  for (const auto& request : requests) EXPECT_EQ(request.userAgent, "Velquor-iOS-SDK") << request.path;
  ASSERT_EQ(delegate->completed.size(), 2u);
  EXPECT_EQ(delegate->completed[0], json({{"status", "success"}, {"order_id", "order-42"}, {"amount", "100.00"}, {"seq", 1}}));
  EXPECT_EQ(delegate->completed[1], json({{"status", "success"}, {"order_id", "order-42"}, {"seq", 2}}));
  EXPECT_EQ(delegate->canceled, 0);

  QWidget* bar = toolkit->widgetForView(*navigation()->navigationBar());
  ASSERT_NE(bar, nullptr);
  auto* title = bar->findChild<QLabel*>("velquor-bar-title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "Velquor");
}

TEST_F(QtCheckout, CancelAsksFirstThenNoKeepsThePageAndYesReportsOneCancel) {
  launch();
  ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == 2; }));
  QWidget* bar = toolkit->widgetForView(*navigation()->navigationBar());
  auto* cancel = bar->findChild<QPushButton*>("velquor-bar-button");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Cancel");

  auto askAndAnswer = [&](const QString& answer) {
    cancel->click();
    std::shared_ptr<UIAlertController> alert;
    QMessageBox* box = nullptr;
    ASSERT_TRUE(spinUntil([&] {
      alert = std::dynamic_pointer_cast<UIAlertController>(navigation()->presentedViewController());
      box = alert ? qobject_cast<QMessageBox*>(toolkit->widgetForViewController(*alert)) : nullptr;
      return box && box->isVisible();
    }));
    EXPECT_EQ(box->text(), "Do you want to cancel this payment?");
    for (auto* button : box->buttons()) {
      if (button->text() == answer) button->click();
    }
    EXPECT_TRUE(spinUntil([&] { return !navigation()->presentedViewController(); }));
  };

  askAndAnswer("No");
  spinFor(300ms);
  EXPECT_EQ(delegate->canceled, 0);
  askAndAnswer("Yes");
  ASSERT_TRUE(spinUntil([&] { return delegate->canceled == 1; }));
  spinFor(300ms);
  EXPECT_EQ(delegate->canceled, 1);
}

TEST_F(QtCheckout, TwentyCheckoutsLeaveNoControllerWebViewOrPageAlive) {
  const auto views = velquor::qt::QtToolkit::liveWebViewCount();
  const auto pages = velquor::qt::QtToolkit::livePageCount();
  std::vector<std::weak_ptr<UIViewController>> controllers;
  for (int round = 0; round < 20; ++round) {
    const auto completed = delegate->completed.size();
    launch();
    ASSERT_TRUE(spinUntil([&] { return delegate->completed.size() == completed + 2; })) << "round " << round;
    controllers.push_back(navigation()->topViewController());
    bool dismissed = false;
    screen->dismissViewControllerAnimated(false, [&] { dismissed = true; });
    ASSERT_TRUE(spinUntil([&] { return dismissed; }));
  }
  spinFor(300ms);
  for (const auto& controller : controllers) EXPECT_TRUE(controller.expired());
  EXPECT_EQ(velquor::qt::QtToolkit::liveWebViewCount(), views);
  EXPECT_EQ(velquor::qt::QtToolkit::livePageCount(), pages);
}

}  // namespace
