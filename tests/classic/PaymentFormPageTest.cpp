#include "ClassicTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using VelquorClassic::StringFunctions;
using VelquorClassic::VelquorParams;
using VelquorClassic::VelquorViewController;
using Json = nlohmann::json;

namespace {

// The page for the endpoint E with every value empty, as the gateway expects it: one line feed after
// the form's opening tag, everything else on the second line.
const std::string kEmptyPageForE = std::string(R"(<form action="E" id="payment_form" method="POST">)") + "\n" +
    R"(<input type="hidden" value=""   name="hash"/>)"
    R"(<input type="hidden" value=""   name="api_key"/>)"
    R"(<input type="hidden" value=""   name="return_url"/>)"
    R"(<input type="hidden" value=""   name="mode"/>)"
    R"(<input type="hidden" value=""   name="order_id"/>)"
    R"(<input type="hidden" value=""   name="amount"/>)"
    R"(<input type="hidden" value=""   name="currency"/>)"
    R"(<input type="hidden" value=""   name="description"/>)"
    R"(<input type="hidden" value=""   name="name"/>)"
    R"(<input type="hidden" value=""   name="email"/>)"
    R"(<input type="hidden" value=""  name="phone"/>)"
    R"(<input type="hidden" value=""   name="address_line_1"/>)"
    R"(<input type="hidden" value=""   name="address_line_2"/>)"
    R"(<input type="hidden" value=""  name="city"/>)"
    R"(<input type="hidden" value=""   name="state"/>)"
    R"(<input type="hidden" value=""  name="zip_code"/>)"
    R"(<input type="hidden" value=""   name="country"/>)"
    R"(<input type="hidden" value=""  name="udf1"/>)"
    R"(<input type="hidden" value=""   name="udf2"/>)"
    R"(<input type="hidden" value=""   name="udf3"/>)"
    R"(<input type="hidden" value=""   name="udf4"/>)"
    R"(<input type="hidden" value=""   name="udf5"/>)"
    R"(<input type="hidden" value=""   name="timeout_duration"/>)"
    R"(<input type="hidden" value=""   name="return_url_failure"/>)"
    R"(<input type="hidden" value=""   name="return_url_cancel"/>)"
    R"(<input type="hidden" value=""   name="percent_tdr_by_user"/>)"
    R"(<input type="hidden" value=""   name="flatfee_tdr_by_user"/>)"
    R"(<input type="hidden" value=""   name="show_convenience_fee"/>)"
    R"(<input type="hidden" value=""   name="split_enforce_strict"/>)"
    R"(<input type="hidden" value=""   name="split_info"/>)"
    R"(<input type="hidden" value=""   name="payment_options"/>)"
    R"(<input type="hidden" value=""   name="payment_page_display_text"/>)"
    R"(<input type="hidden" value=""   name="allowed_bank_codes"/>)"
    R"(<input type="hidden" value=""   name="allowed_emi_tenure"/>)"
    R"(<input type="hidden" value=""   name="allowed_bins"/>)"
    R"(<input type="hidden" value=""   name="offer_code"/>)"
    R"(<input type="hidden" value=""   name="product_details"/>)"
    R"(<input type="hidden" value=""   name="enable_auto_refund"/>)"
    R"(<noscript><input type="submit" value="Continue"/></noscript></form>)"
    R"(<script>function formAutoSubmit () {var payform = document.getElementById("payment_form");)"
    R"(payform.submit();}window.onload = formAutoSubmit;</script>)";

// The page of a controller whose view has loaded, for `url` and `params`.
std::string pageFor(const std::optional<std::string>& url, const std::shared_ptr<VelquorParams>& params) {
  auto controller = std::make_shared<VelquorViewController>();
  controller->setUrl(url);
  return controller->getHtlmForm(params);
}

// The input of `field` on `page`, from its tag to its name.
std::string inputOf(const std::string& page, const std::string& field) {
  const auto nameAt = page.find("name=\"" + field + "\"/>");
  if (nameAt == std::string::npos) return {};
  const auto start = page.rfind("<input", nameAt);
  return page.substr(start, nameAt + field.size() + 9 - start);
}

TEST(PaymentFormPage, ForAnObjectWithoutValuesIsTheFixedTextWithTheEndpointByteForByte) {
  const auto page = pageFor("E", std::make_shared<VelquorParams>());
  EXPECT_EQ(page, kEmptyPageForE);
  EXPECT_EQ(kEmptyPageForE.size(), 2232u + 1u);
  const std::string endpoint = "https://gw.example/v2/paymentrequest";
  EXPECT_EQ(pageFor(endpoint, std::make_shared<VelquorParams>()).size(), 2232u + endpoint.size());
}

TEST(PaymentFormPage, WritesNilTheNullValueAndTheEmptyTextAllAsTheEmptyText) {
  auto nulls = std::make_shared<VelquorParams>();
  auto empties = std::make_shared<VelquorParams>();
  for (const auto& key : classic_test::kJSONKeys) {
    nulls->setValue(Json(nullptr), key);
    empties->setValue("", key);
  }
  EXPECT_EQ(pageFor("E", nulls), kEmptyPageForE);
  EXPECT_EQ(pageFor("E", empties), kEmptyPageForE);
  EXPECT_EQ(pageFor("E", nullptr), kEmptyPageForE) << "no parameters object at all";
}

TEST(PaymentFormPage, HasOneLineFeedAfterTheFormTagAndEndsWithTheScript) {
  const auto page = pageFor("E", classic_test::distinctParams());
  EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), 1);
  EXPECT_EQ(page.find('\n'), page.find("method=\"POST\">") + 14);
  EXPECT_TRUE(page.substr(page.find('\n') + 1).starts_with("<input type=\"hidden\" value=\"v-hash\"   name=\"hash\"/>"));
  EXPECT_TRUE(page.ends_with("</script>"));
  EXPECT_EQ(page.find('\r'), std::string::npos);
}

TEST(PaymentFormPage, PutsEachValueIntoItsOwnInputWithTwoSpacesOnlyForPhoneCityZipCodeAndUdf1) {
  const auto page = pageFor("E", classic_test::distinctParams());
  std::size_t previous = 0;
  for (const char* field : {"hash", "api_key", "return_url", "mode", "order_id", "amount", "currency", "description",
                            "name", "email", "phone", "address_line_1", "address_line_2", "city", "state", "zip_code",
                            "country", "udf1", "udf2", "udf3", "udf4", "udf5", "timeout_duration", "return_url_failure",
                            "return_url_cancel", "percent_tdr_by_user", "flatfee_tdr_by_user", "show_convenience_fee",
                            "split_enforce_strict", "split_info", "payment_options", "payment_page_display_text",
                            "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code", "product_details",
                            "enable_auto_refund"}) {
    const std::string name = field;
    const bool two = name == "phone" || name == "city" || name == "zip_code" || name == "udf1";
    const auto expected = "<input type=\"hidden\" value=\"v-" + name + "\"" + (two ? "  " : "   ") + "name=\"" + name + "\"/>";
    const auto at = page.find(expected);
    ASSERT_NE(at, std::string::npos) << expected;
    EXPECT_GT(at, previous) << name << " is out of order";
    previous = at;
  }
}

TEST(PaymentFormPage, KeepsASingleSpaceAndTheEndpointUnchanged) {
  auto params = std::make_shared<VelquorParams>();
  params->setMode(" ");
  const auto page = pageFor(" ", params);
  EXPECT_EQ(inputOf(page, "mode"), "<input type=\"hidden\" value=\" \"   name=\"mode\"/>");
  EXPECT_TRUE(page.starts_with("<form action=\" \" id="));
}

TEST(PaymentFormPage, EscapesTheFourAttributeCharactersSoNoValueLeavesItsAttribute) {
  auto params = std::make_shared<VelquorParams>();
  params->setTheDescription(R"(5" <b>&</b> 'x')");
  params->setReturnURL("\"><script>alert(1)</script>");
  const auto page = pageFor("https://gw.example/pay?a=1&b=\"2\"", params);
  EXPECT_EQ(inputOf(page, "description"),
            R"(<input type="hidden" value="5&quot; &lt;b&gt;&amp;&lt;/b&gt; 'x'"   name="description"/>)");
  EXPECT_EQ(inputOf(page, "return_url"),
            R"(<input type="hidden" value="&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;"   name="return_url"/>)");
  EXPECT_TRUE(page.starts_with(R"(<form action="https://gw.example/pay?a=1&amp;b=&quot;2&quot;" id=)"));
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST(PaymentFormPage, WritesAValueThatIsNotTextAsItsCompactJSONText) {
  auto params = VelquorParams::initWithJSONDictionary(Json{{"amount", 100},
                                                           {"udf1", true},
                                                           {"udf2", 10.5},
                                                           {"split_info", Json::array({"a", 1})},
                                                           {"product_details", {{"sku", "x y"}}},
                                                           {"offer_code", Json::array()}});
  const auto page = pageFor("E", params);
  EXPECT_EQ(inputOf(page, "amount"), R"(<input type="hidden" value="100"   name="amount"/>)");
  EXPECT_EQ(inputOf(page, "udf1"), R"(<input type="hidden" value="true"  name="udf1"/>)");
  EXPECT_EQ(inputOf(page, "udf2"), R"(<input type="hidden" value="10.5"   name="udf2"/>)");
  EXPECT_EQ(inputOf(page, "split_info"), R"(<input type="hidden" value="[&quot;a&quot;,1]"   name="split_info"/>)");
  EXPECT_EQ(inputOf(page, "product_details"),
            R"(<input type="hidden" value="{&quot;sku&quot;:&quot;x y&quot;}"   name="product_details"/>)");
  EXPECT_EQ(inputOf(page, "offer_code"), R"(<input type="hidden" value="[]"   name="offer_code"/>)");
}

TEST(PaymentFormPage, IsBuiltEvenFromValuesHoldingTextThatIsNotUTF8) {
  auto params = std::make_shared<VelquorParams>();
  params->setUdf4(Json::array({"\xff"}));
  params->setUdf5("\xfe raw");
  std::string page;
  ASSERT_NO_THROW(page = pageFor("E", params));
  EXPECT_NE(page.find("value=\"\xfe raw\""), std::string::npos);
  EXPECT_NE(page.find("name=\"udf4\""), std::string::npos);
}

TEST(PaymentFormPage, ForANilEndpointPostsToTheEmptyActionNeverToNull) {
  const auto page = pageFor(std::nullopt, std::make_shared<VelquorParams>());
  EXPECT_TRUE(page.starts_with("<form action=\"\" id=\"payment_form\""));
  EXPECT_EQ(page.find("(null)"), std::string::npos);
}

TEST(StringFunctions, HaveCharactersExactlyForValuesThatAreNeitherNilNullNorTheEmptyText) {
  EXPECT_FALSE(StringFunctions::hasCharacters(std::nullopt));
  EXPECT_FALSE(StringFunctions::hasCharacters(Json(nullptr)));
  EXPECT_FALSE(StringFunctions::hasCharacters(Json("")));
  EXPECT_TRUE(StringFunctions::hasCharacters(Json(" ")));
  EXPECT_TRUE(StringFunctions::hasCharacters(Json("x")));
  EXPECT_TRUE(StringFunctions::hasCharacters(Json(0)));
  EXPECT_TRUE(StringFunctions::hasCharacters(Json(false)));
  EXPECT_TRUE(StringFunctions::hasCharacters(Json::array()));

  EXPECT_EQ(StringFunctions::getValue(std::nullopt), Json(""));
  EXPECT_EQ(StringFunctions::getValue(Json(nullptr)), Json(""));
  EXPECT_EQ(StringFunctions::getValue(Json(" ")), Json(" "));
  EXPECT_EQ(StringFunctions::getValue(Json(100)), Json(100));
}

}  // namespace
