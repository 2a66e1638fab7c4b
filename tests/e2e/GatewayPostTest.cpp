// What the gateway receives: the post of the payment form page, through the real engine.

#include "CheckoutEndToEnd.h"
#include "VelquorBuildConfig.h"

#include <VelquorClassic/Constants.h>

namespace e2e {
namespace {

using GatewayPost = CheckoutEndToEnd;

TEST_P(GatewayPost, CarriesEveryFieldExactlyInPageOrderWithTheCheckoutUserAgent) {
  startGateway(AutoResult::none);
  const auto fields = awkwardFields();
  launch(gateway->endpoint(), fields);
  const auto request = awaitRequest(1);
  ASSERT_TRUE(request) << "no payment request reached the gateway";

  const auto expected = expectedPost(fields);
  ASSERT_EQ(request->fields.size(), 38u) << request->body;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(request->fields[i].first, expected[i].first) << "field " << i + 1;
    EXPECT_EQ(request->fields[i].second, expected[i].second) << "field " << expected[i].first;
  }
  EXPECT_EQ(request->userAgent, "Velquor-iOS-SDK");

  // Markup in a value stayed a value: the page did not run it, and its would-be result never came.
  ASSERT_TRUE(spinUntil([&] { return showsPaymentPage(); }));
  EXPECT_TRUE(callsAfter(500ms).empty());
  EXPECT_EQ(gateway->requestCount(), 1u);
}

TEST_P(GatewayPost, ANulInAValueArrivesAsTheParserMakesItAndNothingAfterItIsLost) {
  startGateway(AutoResult::none);
  auto fields = plainFields();
  for (auto& field : fields) {
    if (field.name == "city") field.value = std::string("Beng\0aluru", 10);
  }
  launch(gateway->endpoint(), fields);
  const auto request = awaitRequest(1);
  ASSERT_TRUE(request) << "the page was cut short and never posted";
  ASSERT_EQ(request->fields.size(), 38u) << request->body;
  auto expected = expectedPost(fields);
  for (auto& [name, value] : expected) {
    if (name == "city") value = "Beng\xEF\xBF\xBD" "aluru";  // U+FFFD
  }
  EXPECT_EQ(request->fields, expected);
}

TEST_P(GatewayPost, AbsentAndEmptyFieldsArriveAsEmptyValuesUnderTheirNames) {
  startGateway(AutoResult::none);
  PaymentFields nothing;
  for (const auto name : kPageOrder) nothing.push_back({std::string(name), std::nullopt});
  nothing[1].value = "";  // one empty, the rest absent
  launch(gateway->endpoint(), nothing);
  const auto request = awaitRequest(1);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->fields, expectedPost(nothing));
  std::string body;
  for (const auto name : kPageOrder) body += (body.empty() ? "" : "&") + std::string(name) + "=";
  EXPECT_EQ(request->body, body);
}

TEST_P(GatewayPost, ABareLineFeedArrivesAsCarriageReturnLineFeedAsEveryFormPostSendsIt) {
  // Browsers send the line breaks of form values as CR LF; a CR LF in the app's text arrives as
  // it is (the case above), a lone line feed or carriage return arrives as CR LF.
  startGateway(AutoResult::none);
  auto fields = plainFields();
  fields.push_back({"product_details", "one\ntwo\rthree"});
  launch(gateway->endpoint(), fields);
  const auto request = awaitRequest(1);
  ASSERT_TRUE(request);
  EXPECT_EQ(*velquor::sandbox::lastValue(request->fields, "product_details"), "one\r\ntwo\r\nthree");
}

TEST_P(GatewayPost, EachNavigationOfTheCheckoutSendsTheCheckoutUserAgent) {
  startGateway(AutoResult::none);
  ASSERT_TRUE(launchAndShowPaymentPage());
  // A request the gateway's page makes itself, as a page that loads a script or posts a form does.
  evaluate("const f = document.createElement('form'); f.method = 'POST'; f.action = location.href;"
           "f.innerHTML = '<input name=order_id value=second>'; document.body.appendChild(f); f.submit(); true");
  const auto second = awaitRequest(2);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->userAgent, "Velquor-iOS-SDK");
  EXPECT_EQ(second->fields, (velquor::sandbox::FormFields{{"order_id", "second"}}));
}

// The launcher that selects the default endpoint: VelquorClassic's without one, VelquorKit's with
// the empty text. The post is seen as the engine asks to make it, and refused there, so the
// network is never used.
TEST_P(GatewayPost, TheDefaultEndpointIsThePaymentRequestAddressOfTheConfiguredHost) {
  const std::string defaultEndpoint = "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest";
  if (GetParam() == "classic") {
    EXPECT_EQ(std::string(kPaymentURL), defaultEndpoint);
  }
  launch(std::nullopt);
  const auto& attempts = refusedNavigations;
  driver->refuseNavigations(*webView(), refusedNavigations);
  ASSERT_TRUE(spinUntil([&] { return attempts.size() >= 2; }));
  spinFor(300ms);
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_TRUE(driver->isFormPageAddress(attempts[0].url)) << attempts[0].url << ": the form page has no base address";
  EXPECT_EQ(attempts[1].url, defaultEndpoint);
  EXPECT_EQ(attempts[1].method, "POST");
  EXPECT_EQ(evaluate("document.getElementById('payment_form').action"), "\"" + defaultEndpoint + "\"");
}

INSTANTIATE_TEST_SUITE_P(Libraries, GatewayPost, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
