#include "CheckoutEndToEnd.h"

#include <stdexcept>

namespace e2e {

using namespace velquor::platform;

// Quick slides: the suite is about the checkout, not the transition.
constexpr auto kTestTransition = 100ms;

PaymentFields plainFields() {
  return {{"api_key", "sandbox-api-key"}, {"order_id", "ORD-2001"},   {"hash", "hash-from-the-merchant-server"},
          {"amount", "249.00"},           {"mode", "TEST"},           {"name", "Asha Rao"},
          {"phone", "9876543210"},        {"email", "asha@example.com"}, {"currency", "INR"},
          {"country", "IND"},             {"city", "Bengaluru"},      {"state", "Karnataka"},
          {"address_line_1", "12 Lake View Road"}, {"address_line_2", ""}, {"zip_code", "560001"},
          {"return_url", "https://merchant.example/return"}, {"description", "2 notebooks"},
          {"udf1", ""}, {"udf2", ""}, {"udf3", ""}, {"udf4", ""}, {"udf5", ""}};
}

PaymentFields awkwardFields() {
  return {
      {"hash", "quote\" apostrophe' both\"'"},
      {"api_key", "key&amp;=1&x=2"},
      {"return_url", "https://merchant.example/return?a=1&b=<2>#frag"},
      {"mode", "TEST"},
      {"order_id", "ORD-<1001>"},
      {"amount", "249.00"},
      {"currency", "INR"},
      {"description", "Line one\r\nLine two\r\n"},
      {"name", "Zoë Ångström-Nuñez"},
      {"email", "zoe+test@example.com"},
      {"phone", "+91 98765 43210"},
      // Were it written into the page unescaped, this would post a result of its own.
      {"address_line_1", "\"><script>window.webkit.messageHandlers.paymentResponseIos.postMessage('injected')</script>"},
      {"address_line_2", "<img src=x onerror=\"document.title='injected'\">"},
      {"city", "東京都千代田区"},
      {"state", "Karnātaka"},
      {"zip_code", "560 001"},
      {"country", "IND"},
      {"udf1", "🙂💳 paid"},
      {"udf2", "100% sure; 50%20off"},
      {"udf3", "tab\there"},
      {"udf4", "  spaces around  "},
      {"udf5", ""},
      {"timeout_duration", std::nullopt},
      {"return_url_failure", ""},
      {"return_url_cancel", std::nullopt},
      {"percent_tdr_by_user", "0.5"},
      {"flatfee_tdr_by_user", std::nullopt},
      {"show_convenience_fee", "true"},
      {"split_enforce_strict", std::nullopt},
      {"split_info", R"({"vendors":[{"code":"V1","amount":"100.00"}]})"},
      {"payment_options", "cc,dc,nb,upi"},
      {"payment_page_display_text", "Pay &lt;safely&gt; — «today» &#34;"},
      {"allowed_bank_codes", std::nullopt},
      {"allowed_emi_tenure", "3|6|9"},
      {"allowed_bins", ""},
      {"offer_code", "<!-- not a comment -->"},
      {"product_details", R"([{"name":"Café ☕","qty":2}])"},
      {"enable_auto_refund", "n"},
  };
}

std::string valueOf(const PaymentFields& fields, std::string_view name) {
  for (const auto& field : fields) {
    if (field.name == name) return field.value.value_or("");
  }
  return "";
}

std::vector<std::pair<std::string, std::string>> expectedPost(const PaymentFields& fields) {
  std::vector<std::pair<std::string, std::string>> expected;
  for (const auto name : kPageOrder) expected.emplace_back(name, valueOf(fields, name));
  return expected;
}

namespace {

// The fields as a parameters document for the library's own decoding: the library's parameters
// with nothing set, then each field that has a value (an absent one stays as the library leaves it).
std::string paramsDocument(const velquor::adapter::CheckoutLibrary& library, const PaymentFields& fields) {
  auto document = library.blankParams();
  for (const auto& field : fields) {
    if (field.value) document[field.name] = *field.value;
  }
  return document.dump();
}

}  // namespace

void RequestGate::hold(const ReceivedRequest&) {
  held_ = true;
  std::unique_lock lock(mutex_);
  // Bounded, so that a failing test cannot hang the gateway's shutdown.
  opened_.wait_for(lock, 60s, [this] { return open_; });
}

void RequestGate::open() {
  {
    std::lock_guard lock(mutex_);
    open_ = true;
  }
  opened_.notify_all();
}

void CheckoutEndToEnd::SetUp() {
  const auto library = velquor::adapter::libraryNamed(GetParam());
  if (!library) throw std::invalid_argument("no library " + GetParam());
  checkout = velquor::adapter::makeCheckoutLibrary(*library);
  makeToolkit(kTestTransition);
}

void CheckoutEndToEnd::TearDown() {
  gate.open();
  screen.reset();
  driver->tearDown();
  gateway.reset();
}

void CheckoutEndToEnd::makeToolkit(std::chrono::milliseconds transition) {
  screen.reset();
  screen = driver->makeToolkit(transition);
}

std::optional<std::string> CheckoutEndToEnd::evaluate(const std::string& script) const {
  return driver->evaluateJSON(*webView(), script);
}

SandboxGateway& CheckoutEndToEnd::startGateway(AutoResult autoResult,
                                              std::function<void(const ReceivedRequest&)> onRequest) {
  velquor::sandbox::SandboxOptions options;
  options.autoResult = autoResult;
  options.onRequest = recorder.callback(std::move(onRequest));
  gateway.emplace(std::move(options));
  return *gateway;
}

void CheckoutEndToEnd::launch(const std::optional<std::string>& endpoint, const PaymentFields& fields) {
  checkout->loadParams(paramsDocument(*checkout, fields));
  checkout->launch(screen, endpoint);
}

::testing::AssertionResult CheckoutEndToEnd::launchAndShowPaymentPage(const PaymentFields& fields) {
  if (!gateway) startGateway(AutoResult::none);
  launch(gateway->endpoint(), fields);
  if (!navigation()) return ::testing::AssertionFailure() << "nothing presented";
  if (!spinUntil([&] { return gateway->requestCount() == 1 && showsPaymentPage(); })) {
    return ::testing::AssertionFailure() << "the payment page did not show (" << gateway->requestCount() << " requests)";
  }
  return ::testing::AssertionSuccess();
}

std::optional<ReceivedRequest> CheckoutEndToEnd::awaitRequest(std::size_t number) const {
  if (!spinUntil([&] { return recorder.count() >= number; })) return std::nullopt;
  return recorder.waitForRequest(number, 0ms);
}

std::shared_ptr<UINavigationController> CheckoutEndToEnd::navigation() const {
  return std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
}

std::shared_ptr<UIViewController> CheckoutEndToEnd::controller() const {
  auto nav = navigation();
  return nav ? nav->topViewController() : nullptr;
}

std::shared_ptr<WKWebView> CheckoutEndToEnd::webView() const {
  for (const auto& view : controller()->view()->subviews()) {
    if (auto found = std::dynamic_pointer_cast<WKWebView>(view)) return found;
  }
  return nullptr;
}

std::shared_ptr<UIActivityIndicatorView> CheckoutEndToEnd::spinner() const {
  for (const auto& view : controller()->view()->subviews()) {
    if (auto found = std::dynamic_pointer_cast<UIActivityIndicatorView>(view)) return found;
  }
  return nullptr;
}

bool CheckoutEndToEnd::showsPaymentPage() const {
  if (driver->isLoading(*webView())) return false;
  return evaluate("document.getElementById('pay') !== null") == "true";
}

void CheckoutEndToEnd::clickInPage(const char* buttonId) const {
  const auto clicked = evaluate(std::string("document.getElementById('") + buttonId + "').click(); true");
  EXPECT_EQ(clicked, "true") << "clicking #" << buttonId;
}

const std::vector<DelegateCall>& CheckoutEndToEnd::callsAfter(std::chrono::milliseconds quiet) {
  spinFor(quiet);
  return checkout->calls;
}

std::string libraryTestName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param + "_on_" + toolkitName();
}

}  // namespace e2e
