#pragma once

#include "VelquorBuildConfig.h"

#include <VelquorClassic/VelquorClassic.h>
#include <velquor/headless/HeadlessToolkit.h>
#include <velquor/platform/UINavigationController.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace classic_test {

inline const std::string kDefaultEndpoint = "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest";

// The 38 gateway keys in the order of the key table.
inline const std::vector<std::string> kJSONKeys = {
    "address_line_1", "address_line_2", "amount", "api_key", "city", "country", "currency", "description", "email",
    "hash", "mode", "name", "order_id", "phone", "return_url", "state", "udf1", "udf2", "udf3", "udf4", "udf5",
    "zip_code", "timeout_duration", "return_url_failure", "return_url_cancel", "percent_tdr_by_user",
    "flatfee_tdr_by_user", "show_convenience_fee", "split_enforce_strict", "split_info", "payment_options",
    "payment_page_display_text", "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code",
    "product_details", "enable_auto_refund"};

// Every field set by key to a text of its own ("hash" -> "v-hash"), so a value in the wrong field shows.
inline std::shared_ptr<VelquorClassic::VelquorParams> distinctParams() {
  auto params = std::make_shared<VelquorClassic::VelquorParams>();
  for (const auto& key : kJSONKeys) params->setValue("v-" + key, key);
  return params;
}

struct RecordingDelegate : VelquorClassic::VelquorDelegate {
  std::vector<std::optional<nlohmann::json>> completed;
  std::vector<std::shared_ptr<VelquorClassic::VelquorViewController>> completedBy;
  int canceled = 0;
  std::shared_ptr<VelquorClassic::VelquorViewController> canceledBy;

  void didPaymentCompleted(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller,
                           const std::optional<nlohmann::json>& data) override {
    completed.push_back(data);
    completedBy.push_back(controller);
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorClassic::VelquorViewController>& controller) override {
    ++canceled;
    canceledBy = controller;
  }
};

// One checkout on the headless toolkit, presented through a launcher from an app screen.
struct Checkout {
  Checkout() = default;
  explicit Checkout(velquor::headless::HeadlessToolkitOptions options) : toolkit(options) {}

  velquor::headless::HeadlessToolkit toolkit;
  std::shared_ptr<velquor::platform::UIViewController> screen = toolkit.makeAppScreen();
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
  std::shared_ptr<VelquorClassic::VelquorParams> params = distinctParams();

  void launch(const std::optional<std::string>& url) {
    VelquorClassic::Velquor::presentVelquorContorller(screen, url, delegate, params);
  }
  void launchWithoutEndpoint() { VelquorClassic::Velquor::presentVelquorContorller(screen, delegate, params); }
  // Launched without an endpoint and presented: the payment has started.
  void start() {
    launchWithoutEndpoint();
    toolkit.runUntilIdle();
  }

  std::shared_ptr<velquor::platform::UINavigationController> navigation() const {
    return std::dynamic_pointer_cast<velquor::platform::UINavigationController>(screen->presentedViewController());
  }
  std::shared_ptr<VelquorClassic::VelquorViewController> controller() const {
    auto nav = navigation();
    return nav ? std::dynamic_pointer_cast<VelquorClassic::VelquorViewController>(nav->topViewController()) : nullptr;
  }
  velquor::headless::HeadlessWebView* engine() const {
    auto webViews = toolkit.webViews();
    return webViews.empty() ? nullptr : webViews.back();
  }
  const std::string& firstPage() const { return engine()->loads().at(0).html; }
};

}  // namespace classic_test
