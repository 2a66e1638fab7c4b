// The gateway page's result messages on their way to the app's delegate.

#include "CheckoutEndToEnd.h"

namespace e2e {
namespace {

using nlohmann::json;

using ResultMessage = CheckoutEndToEnd;

// The result as the sandbox page builds it: the order, the transaction and every posted field.
void expectResultFor(const DelegateCall& call, const char* status, const ReceivedRequest& request,
                     const PaymentFields& fields) {
  ASSERT_EQ(call.kind, DelegateCall::Kind::completed);
  ASSERT_TRUE(call.data && call.data->is_object()) << (call.data ? call.data->dump() : "nil");
  const json& data = *call.data;
  EXPECT_EQ(data.value("status", ""), status);
  EXPECT_EQ(data.value("order_id", ""), valueOf(fields, "order_id"));
  EXPECT_EQ(data.value("amount", ""), valueOf(fields, "amount"));
  EXPECT_EQ(data.value("currency", ""), valueOf(fields, "currency"));
  EXPECT_EQ(data.value("transaction_id", ""), request.transactionId);
  json posted = json::object();
  for (const auto& [name, value] : expectedPost(fields)) posted[name] = value;
  EXPECT_EQ(data.value("fields", json()), posted);
}

TEST_P(ResultMessage, AnAutomaticSuccessReachesTheDelegateExactlyOnceEchoingThePostedFields) {
  startGateway(AutoResult::success);
  const auto fields = awkwardFields();
  launch(gateway->endpoint(), fields);
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(1s);
  ASSERT_EQ(calls.size(), 1u);
  expectResultFor(calls[0], "success", requests().at(0), fields);
  EXPECT_EQ(calls[0].controller.lock(), controller()) << "the delegate hears from the checkout it launched";
  EXPECT_NE(navigation(), nullptr) << "the checkout stays until the app dismisses it";
}

TEST_P(ResultMessage, AnAutomaticFailureReachesTheDelegateExactlyOnce) {
  startGateway(AutoResult::failure);
  launch(gateway->endpoint());
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(1s);
  ASSERT_EQ(calls.size(), 1u);
  expectResultFor(calls[0], "failure", requests().at(0), plainFields());
}

TEST_P(ResultMessage, EachClickOnPayPostsOneSuccessToTheDelegate) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  EXPECT_TRUE(callsAfter(300ms).empty()) << "nothing before the customer chooses";

  clickInPage(kPayButton);
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  ASSERT_EQ(callsAfter(500ms).size(), 1u);
  expectResultFor(checkout->calls[0], "success", requests().at(0), plainFields());

  clickInPage(kPayButton);
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() >= 2; }));
  ASSERT_EQ(callsAfter(500ms).size(), 2u) << "one call per post";
  EXPECT_EQ(checkout->calls[1].data, checkout->calls[0].data);
  EXPECT_EQ(gateway->requestCount(), 1u) << "the result goes to the app, not to the gateway";
}

TEST_P(ResultMessage, AClickOnDeclinePostsOneFailureToTheDelegate) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  clickInPage(kDeclineButton);
  ASSERT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
  const auto& calls = callsAfter(500ms);
  ASSERT_EQ(calls.size(), 1u);
  expectResultFor(calls[0], "failure", requests().at(0), plainFields());
  EXPECT_EQ(evaluate("document.getElementById('result').textContent"),
            "\"Result posted: failure\"")
      << "the page stays as it is";
}

TEST_P(ResultMessage, AnyValuePostedOnTheChannelIsPassedOnAsItIsAndNoOtherChannelExists) {
  ASSERT_TRUE(launchAndShowPaymentPage());
  EXPECT_EQ(evaluate("window.webkit.messageHandlers.PaymentResponseIos === undefined"), "true");
  evaluate("const channel = window.webkit.messageHandlers.paymentResponseIos;"
           "channel.postMessage('text'); channel.postMessage([1, 2.5, null]); channel.postMessage(undefined); true");
  ASSERT_TRUE(spinUntil([&] { return checkout->calls.size() >= 3; }));
  const auto& calls = callsAfter(300ms);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].data, json("text"));
  EXPECT_EQ(calls[1].data, json::parse("[1, 2.5, null]"));
  EXPECT_EQ(calls[2].data, std::nullopt) << "undefined arrives as nil";
}

INSTANTIATE_TEST_SUITE_P(Libraries, ResultMessage, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
