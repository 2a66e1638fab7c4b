#pragma once

// A real checkout in an app window of a real toolkit (the one this executable was built for),
// against the sandbox gateway on loopback, for either library (the test parameter).

#include "ToolkitDriver.h"

#include "LoopbackServer.h"
#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <CheckoutLibrary.h>

#include <gtest/gtest.h>

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebView.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using velquor::adapter::DelegateCall;
using velquor::sandbox::AutoResult;
using velquor::sandbox::ReceivedRequest;
using velquor::sandbox::SandboxGateway;

// One payment parameter as the app means it: a gateway field name and its text, or nothing.
struct PaymentField {
  std::string name;
  std::optional<std::string> value;
};
// The 38 parameters, in any order; each library writes them into its page in its own order.
using PaymentFields = std::vector<PaymentField>;

// The order in which both pages post the fields.
inline constexpr std::array<std::string_view, 38> kPageOrder{
    "hash",        "api_key",           "return_url",          "mode",
    "order_id",    "amount",            "currency",            "description",
    "name",        "email",             "phone",               "address_line_1",
    "address_line_2", "city",           "state",               "zip_code",
    "country",     "udf1",              "udf2",                "udf3",
    "udf4",        "udf5",              "timeout_duration",    "return_url_failure",
    "return_url_cancel", "percent_tdr_by_user", "flatfee_tdr_by_user", "show_convenience_fee",
    "split_enforce_strict", "split_info", "payment_options",   "payment_page_display_text",
    "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code",
    "product_details", "enable_auto_refund"};

// Plain values for every required field; the optional ones absent.
PaymentFields plainFields();
// Every field set or left out on purpose: texts with quotes, ampersands, angle brackets, line
// breaks, accents, CJK, emoji and markup, some optional fields empty and some absent.
PaymentFields awkwardFields();
// What the gateway must receive for `fields`: the 38 names in page order, an absent value empty.
std::vector<std::pair<std::string, std::string>> expectedPost(const PaymentFields& fields);
// The value of `name` in `fields` (empty when absent or not there).
std::string valueOf(const PaymentFields& fields, std::string_view name);

// Holds each gateway request on the serving thread until the test lets it go, so a test can look
// at the checkout while a navigation is under way.
class RequestGate {
 public:
  ~RequestGate() { open(); }
  void hold(const ReceivedRequest&);
  void open();
  bool held() const { return held_; }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
  std::atomic<bool> held_ = false;
};

class CheckoutEndToEnd : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The gateway's requests are recorded before `onRequest` hears of them.
  SandboxGateway& startGateway(AutoResult autoResult, std::function<void(const ReceivedRequest&)> onRequest = {});
  void launch(const std::optional<std::string>& endpoint, const PaymentFields& fields = plainFields());
  // The gateway's request number `number` (from 1), turning the main loop until it has come.
  std::optional<ReceivedRequest> awaitRequest(std::size_t number) const;
  // The gateway's requests so far, oldest first.
  std::vector<ReceivedRequest> requests() const { return recorder.requests(); }
  // Launches against the gateway and waits until its payment page has loaded and stopped.
  ::testing::AssertionResult launchAndShowPaymentPage(const PaymentFields& fields = plainFields());

  std::shared_ptr<velquor::platform::UINavigationController> navigation() const;
  std::shared_ptr<velquor::platform::UIViewController> controller() const;
  std::shared_ptr<velquor::platform::WKWebView> webView() const;
  std::shared_ptr<velquor::platform::UIActivityIndicatorView> spinner() const;
  // A fresh toolkit with slides of `transition`; SetUp makes one with quick slides.
  void makeToolkit(std::chrono::milliseconds transition);
  bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience) const {
    return driver->spinUntil(condition, timeout);
  }
  void spinFor(std::chrono::milliseconds duration) const { driver->spinFor(duration); }
  // The value of `script` in the checkout's page, as JSON text.
  std::optional<std::string> evaluate(const std::string& script) const;
  SpinnerOnScreen spinnerOnScreen() const { return driver->spinnerOnScreen(*spinner()); }
  // The gateway's page is on screen: its Pay button exists and nothing is loading.
  bool showsPaymentPage() const;
  // Clicks a button of the page as the customer would.
  void clickInPage(const char* buttonId) const;
  // The calls so far after `quiet` more of the main loop (so that a late duplicate would show).
  const std::vector<DelegateCall>& callsAfter(std::chrono::milliseconds quiet);

  std::unique_ptr<ToolkitDriver> driver = makeToolkitDriver();
  std::shared_ptr<velquor::platform::UIViewController> screen;
  std::unique_ptr<velquor::adapter::CheckoutLibrary> checkout;
  velquor_testing::SandboxRecorder recorder;  // outlives the gateway, which tells it
  std::optional<SandboxGateway> gateway;
  RequestGate gate;
  std::vector<NavigationAttempt> refusedNavigations;  // outlives the web view that records them
};

// The payment page's Pay and Decline buttons.
inline constexpr const char* kPayButton = "pay";
inline constexpr const char* kDeclineButton = "decline";

// The library and the toolkit, e.g. "kit_on_gtk".
std::string libraryTestName(const ::testing::TestParamInfo<std::string>& info);

}  // namespace e2e
