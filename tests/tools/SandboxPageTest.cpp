#include "PaymentPage.h"
#include "SandboxTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using velquor::sandbox::AutoResult;
using velquor::sandbox::FormFields;
using velquor::sandbox::missingRequiredFields;
using velquor::sandbox::paymentPage;
using velquor::sandbox::paymentResults;
using velquor::sandbox::scriptSafeJSON;
using nlohmann::ordered_json;
using namespace sandbox_test;

namespace {

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST(SandboxPage, IsAUtf8DocumentShowingTheOrderAndBothButtons) {
  auto fields = completeFields();
  setField(fields, "order_id", "ORD-42");
  setField(fields, "amount", "10.50");
  setField(fields, "currency", "INR");
  setField(fields, "name", "J\xC3\xBCrgen");
  setField(fields, "description", "Two tickets");
  const auto page = paymentPage(fields, "sbx_1", AutoResult::none);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_TRUE(contains(page, "<meta charset=\"utf-8\">"));
  EXPECT_TRUE(contains(page, "<div class=\"amount\" id=\"amount\">10.50 INR</div>"));
  EXPECT_TRUE(contains(page, "<dd id=\"order_id\">ORD-42</dd>"));
  EXPECT_TRUE(contains(page, "<dd id=\"name\">J\xC3\xBCrgen</dd>"));
  EXPECT_TRUE(contains(page, "<dd id=\"description\">Two tickets</dd>"));
  EXPECT_TRUE(contains(page, "<button type=\"button\" id=\"pay\">Pay</button>"));
  EXPECT_TRUE(contains(page, "<button type=\"button\" id=\"decline\">Decline</button>"));
  EXPECT_TRUE(contains(page, "const handlers = window.webkit && window.webkit.messageHandlers;"));
  EXPECT_TRUE(contains(page, "const channel = handlers && handlers.paymentResponseIos;"));
  EXPECT_TRUE(contains(page, "channel.postMessage(result)"));
  EXPECT_FALSE(contains(page, "id=\"missing\""));
}

TEST(SandboxPage, EscapesHostileOrderValuesSoNoMarkupIsInjected) {
  auto fields = completeFields();
  setField(fields, "order_id", "\"><img src=x onerror=alert(1)>");
  setField(fields, "amount", "1&lt;2");
  setField(fields, "currency", "<svg/onload=alert(2)>");
  setField(fields, "name", "<b>Bold</b> & \"quoted\"");
  setField(fields, "description", "</dd></dl><script>alert(3)</script>");
  const auto page = paymentPage(fields, "sbx_1", AutoResult::none);
  EXPECT_FALSE(contains(page, "<img"));
  EXPECT_FALSE(contains(page, "<svg"));
  EXPECT_FALSE(contains(page, "<b>"));
  EXPECT_FALSE(contains(page, "<script>alert"));
  EXPECT_TRUE(contains(page, "<dd id=\"order_id\">&quot;&gt;&lt;img src=x onerror=alert(1)&gt;</dd>"));
  EXPECT_TRUE(contains(page, "id=\"amount\">1&amp;lt;2 &lt;svg/onload=alert(2)&gt;</div>"));
  EXPECT_TRUE(contains(page, "<dd id=\"name\">&lt;b&gt;Bold&lt;/b&gt; &amp; &quot;quoted&quot;</dd>"));
  EXPECT_TRUE(contains(page, "<dd id=\"description\">&lt;/dd&gt;&lt;/dl&gt;&lt;script&gt;alert(3)&lt;/script&gt;</dd>"));
}

TEST(SandboxPage, ScriptEmbeddedValuesCannotCloseTheScriptAndComeBackUnchanged) {
  auto fields = completeFields();
  const std::string hostile = "</script><script>alert(1)</script><!-- </SCRIPT \xE2\x80\xA8 \xE2\x80\xA9 & \" \\ '";
  setField(fields, "order_id", hostile);
  fields.emplace_back("</script><x>", hostile);
  const auto page = paymentPage(fields, "sbx_1", AutoResult::success);
  const auto script = scriptText(page);
  // The whole script reaches the page's own end tag, and nothing in it can start markup.
  EXPECT_EQ(page.substr(page.find("<script>") + 8 + script.size()), "</script>\n</body>\n</html>\n");
  EXPECT_FALSE(contains(script, "<"));
  EXPECT_FALSE(contains(script, "\xE2\x80\xA8"));
  EXPECT_FALSE(contains(script, "\xE2\x80\xA9"));
  const auto results = embeddedResults(page);
  EXPECT_EQ(results["pay"]["order_id"], hostile);
  EXPECT_EQ(results["pay"]["fields"]["</script><x>"], hostile);
}

TEST(SandboxPage, ScriptSafeJsonEscapesMarkupAndLineSeparatorsAndStaysValidJson) {
  const ordered_json value = {{"k<>&", "</script>\xE2\x80\xA8\xE2\x80\xA9\xC3\xBC"}};
  const auto text = scriptSafeJSON(value);
  EXPECT_EQ(text, R"({"k\u003c\u003e\u0026":"\u003c/script\u003e\u2028\u2029)" "\xC3\xBC\"}");
  EXPECT_EQ(ordered_json::parse(text), value);
  // Bytes that are not UTF-8 become U+FFFD instead of failing the page.
  EXPECT_EQ(scriptSafeJSON(ordered_json("a\xFF" "b")), "\"a\xEF\xBF\xBD" "b\"");
}

TEST(SandboxPage, PayPostsSuccessAndDeclineFailureWithTheOrderAndEveryField) {
  auto fields = completeFields();
  setField(fields, "order_id", "ORD-7");
  setField(fields, "amount", "99.00");
  setField(fields, "currency", "USD");
  fields.emplace_back("return_url_failure", "https://shop.example/failed");
  const auto results = embeddedResults(paymentPage(fields, "sbx_00ab", AutoResult::none));
  ordered_json echoed = ordered_json::object();
  for (const auto& [name, value] : fields) echoed[name] = value;
  for (const auto* choice : {"pay", "decline"}) {
    SCOPED_TRACE(choice);
    const auto& message = results[choice];
    EXPECT_EQ(message["order_id"], "ORD-7");
    EXPECT_EQ(message["amount"], "99.00");
    EXPECT_EQ(message["currency"], "USD");
    EXPECT_EQ(message["transaction_id"], "sbx_00ab");
    EXPECT_EQ(message["fields"], echoed);
    EXPECT_FALSE(message.contains("missing"));
  }
  EXPECT_EQ(results["pay"]["status"], "success");
  EXPECT_EQ(results["decline"]["status"], "failure");
  EXPECT_EQ(results, ordered_json({{"pay", paymentResults(fields, "sbx_00ab").pay},
                                   {"decline", paymentResults(fields, "sbx_00ab").decline}}));
}

TEST(SandboxPage, EmptyValuesCountAsPostedButAbsentFieldsFailTheWholePayment) {
  auto fields = completeFields();
  for (auto& field : fields) field.second.clear();
  EXPECT_TRUE(missingRequiredFields(fields).empty());
  EXPECT_EQ(paymentResults(fields, "t").pay["status"], "success");

  FormFields partial;
  for (const auto& field : completeFields()) {
    if (field.first != "hash" && field.first != "udf5" && field.first != "address_line_2") partial.push_back(field);
  }
  const std::vector<std::string> expected{"hash", "address_line_2", "udf5"};
  EXPECT_EQ(missingRequiredFields(partial), expected);
  const auto page = paymentPage(partial, "t", AutoResult::success);
  EXPECT_TRUE(contains(page, "<li>hash</li>\n<li>address_line_2</li>\n<li>udf5</li>"));
  const auto results = embeddedResults(page);
  for (const auto* choice : {"pay", "decline"}) {
    EXPECT_EQ(results[choice]["status"], "failure") << choice;
    EXPECT_EQ(results[choice]["missing"], ordered_json(expected)) << choice;
  }
  EXPECT_EQ(missingRequiredFields({}).size(), 22u);
}

TEST(SandboxPage, ARepeatedNameIsEchoedWithItsLastValue) {
  auto fields = completeFields();
  fields.emplace_back("order_id", "second");
  const auto message = paymentResults(fields, "t").pay;
  EXPECT_EQ(message["order_id"], "second");
  EXPECT_EQ(message["fields"]["order_id"], "second");
  EXPECT_EQ(message["fields"].size(), 22u);
}

TEST(SandboxPage, AutoModePostsItsResultOnTheLoadEventOnly) {
  const auto fields = completeFields();
  constexpr std::string_view kOnLoad = "window.addEventListener(\"load\"";
  EXPECT_FALSE(contains(paymentPage(fields, "t", AutoResult::none), kOnLoad));
  EXPECT_TRUE(contains(paymentPage(fields, "t", AutoResult::success),
                       "window.addEventListener(\"load\", function () { postResult(\"pay\"); });"));
  EXPECT_TRUE(contains(paymentPage(fields, "t", AutoResult::failure),
                       "window.addEventListener(\"load\", function () { postResult(\"decline\"); });"));
}

TEST(SandboxPage, ValuesThatAreNotUtf8StillGiveAPage) {
  auto fields = completeFields();
  setField(fields, "name", "\xFF\xFE");
  std::string page;
  ASSERT_NO_THROW(page = paymentPage(fields, "t", AutoResult::none));
  EXPECT_EQ(embeddedResults(page)["pay"]["fields"]["name"], "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
