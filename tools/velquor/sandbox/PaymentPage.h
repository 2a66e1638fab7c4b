#pragma once

#include "FormBody.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velquor::sandbox {

// The fields the gateway requires in every payment request; each must be posted, possibly empty.
inline constexpr std::array<std::string_view, 22> kRequiredPaymentFields{
    "api_key", "order_id", "hash",     "amount",         "mode",           "name",     "phone",      "email",
    "currency", "country", "city",     "state",          "address_line_1", "address_line_2", "zip_code", "return_url",
    "description", "udf1", "udf2",     "udf3",           "udf4",           "udf5"};

// The script-message channel the page posts its result on, and the two result statuses.
inline constexpr std::string_view kResultChannel = "paymentResponseIos";
inline constexpr std::string_view kStatusSuccess = "success";
inline constexpr std::string_view kStatusFailure = "failure";

// What the page does by itself once loaded: nothing (wait for a button), or post a result.
enum class AutoResult { none, success, failure };

// The required fields that were not posted, in the order of kRequiredPaymentFields.
std::vector<std::string> missingRequiredFields(const FormFields& fields);

// The two messages the page can post: "pay" (status "success", or "failure" when required fields
// are missing) and "decline" (always "failure"). Each holds status, order_id, amount, currency,
// transaction_id, every posted field under "fields" (the last value of a repeated name), and
// "missing" (the missing required fields) when there are any. Absent values are empty texts.
// Bytes that are not UTF-8 become U+FFFD, since a message is JSON.
struct PaymentResults {
  nlohmann::ordered_json pay;
  nlohmann::ordered_json decline;
};
PaymentResults paymentResults(const FormFields& fields, std::string_view transactionId);

// `value` as JSON text that can stand inside an HTML <script> element: '<', '>' and '&' are
// written as \u003c, \u003e, \u0026 (so no "</script>" or "<!--" can appear), and U+2028 and U+2029
// as \u2028, \u2029. The text remains valid JSON with the same value.
std::string scriptSafeJSON(const nlohmann::ordered_json& value);

// The payment page answered to a post: the order (amount and currency, order id, name,
// description, HTML-escaped), the missing required fields if any, and the buttons "Pay" and
// "Decline", each posting its message on the result channel. An AutoResult other than none posts
// that result on the window's load event (a success with missing fields still posts the failure).
std::string paymentPage(const FormFields& fields, std::string_view transactionId, AutoResult autoResult);

}  // namespace velquor::sandbox
