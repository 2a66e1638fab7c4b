#pragma once

#include "VelquorBuildConfig.h"
#include "VelquorViewController.h"

#include <VelquorKit/Velquor.h>
#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/UINavigationController.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit_test {

inline const std::string kDefaultEndpoint = "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest";

// 22 distinct texts, so that a value in the wrong field shows.
inline VelquorKit::VelquorParams distinctParams() {
  return VelquorKit::VelquorParams({.apiKey = "a1", .orderId = "a2", .hash = "a3", .mode = "a4", .amount = "a5",
                                    .name = "a6", .phone = "a7", .email = "a8", .returnURL = "a9",
                                    .description = "a10", .currency = "a11", .country = "a12", .city = "a13",
                                    .state = "a14", .addressLine1 = "a15", .addressLine2 = "a16", .udf1 = "a17",
                                    .udf2 = "a18", .udf3 = "a19", .udf4 = "a20", .udf5 = "a21", .zipCode = "a22"});
}

// Keeps the controllers it hears from weakly: the checkout holds its delegate, so a strong
// reference back would be a cycle.
struct RecordingDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::optional<nlohmann::json>> completed;
  std::vector<std::weak_ptr<velquor::platform::UIViewController>> completedBy;
  int canceled = 0;
  std::weak_ptr<velquor::platform::UIViewController> canceledBy;

  void didPaymentCompleted(const std::shared_ptr<velquor::platform::UIViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    completed.push_back(data);
    completedBy.push_back(controller);
  }
  void didPaymentCanceled(const std::shared_ptr<velquor::platform::UIViewController>& controller) override {
    ++canceled;
    canceledBy = controller;
  }
};

// One checkout on the headless toolkit, presented through the launcher from an app screen.
struct Checkout {
  Checkout() = default;
  explicit Checkout(velquor::headless::HeadlessToolkitOptions options) : toolkit(options) {}

  velquor::headless::HeadlessToolkit toolkit;
  std::shared_ptr<velquor::platform::UIViewController> screen = toolkit.makeAppScreen();
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();

  void launch(const std::string& url = "", const VelquorKit::VelquorParams& params = distinctParams()) {
    VelquorKit::Velquor::presentVelquorContorller(screen, url, params, delegate);
  }
  std::shared_ptr<velquor::platform::UINavigationController> navigation() const {
    return std::dynamic_pointer_cast<velquor::platform::UINavigationController>(screen->presentedViewController());
  }
  std::shared_ptr<VelquorKit::VelquorViewController> controller() const {
    auto nav = navigation();
    return nav ? std::dynamic_pointer_cast<VelquorKit::VelquorViewController>(nav->topViewController()) : nullptr;
  }
  velquor::headless::HeadlessWebView* engine() const {
    auto webViews = toolkit.webViews();
    return webViews.empty() ? nullptr : webViews.back();
  }
};

}  // namespace kit_test
