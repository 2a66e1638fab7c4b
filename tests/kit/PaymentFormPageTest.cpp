#include "PaymentFormPage.h"

#include "KitTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using VelquorKit::paymentFormPage;
using VelquorKit::VelquorParams;

namespace {

std::vector<std::string> lines(const std::string& page) {
  std::vector<std::string> result;
  std::string line;
  std::istringstream in(page);
  while (std::getline(in, line)) result.push_back(line);
  return result;
}

std::string input(const std::string& value, int spaces, const std::string& name) {
  return "<input type=\"hidden\" value=\"" + value + "\"" + std::string(spaces, ' ') + "name=\"" + name + "\"/>";
}

TEST(PaymentFormPage, AnEmptyRecordGivesTheFixedTextAndTheEndpointOnly) {
  const std::string endpoint = "https://gw.example/v2/paymentrequest";
  const auto page = paymentFormPage(VelquorParams(), endpoint);
  EXPECT_EQ(page.size(), 2545 + endpoint.size());
  EXPECT_EQ(page.find('\r'), std::string::npos);
  EXPECT_TRUE(page.ends_with("</script>"));
  const auto all = lines(page);
  ASSERT_EQ(all.size(), 48u);
  EXPECT_EQ(all[0], "<form action=\"" + endpoint + "\" id=\"payment_form\" method=\"POST\">");
  EXPECT_EQ(all[39], "<noscript><input type=\"submit\" value=\"Continue\"/></noscript>");
  EXPECT_EQ(all[43], "    var payform = document.getElementById(\"payment_form\");");
  EXPECT_EQ(all[44], "    payform.submit();");
  EXPECT_EQ(all[46], "window.onload = formAutoSubmit;");
}

TEST(PaymentFormPage, WritesEveryFieldOnItsOwnLineInTheGatewaysOrderWithItsSpacing) {
  auto params = kit_test::distinctParams();
  params.split_info = "s";
  const auto all = lines(paymentFormPage(params, "https://x"));
  const std::vector<std::string> expected = {
      input("a3", 19, "hash"), input("a1", 8, "api_key"), input("a9", 4, "return_url"), input("a4", 11, "mode"),
      input("a2", 7, "order_id"), input("a5", 9, "amount"), input("a11", 7, "currency"),
      input("a10", 4, "description"), input("a6", 11, "name"), input("a8", 10, "email"), input("a7", 10, "phone"),
      input("a15", 1, "address_line_1"), input("a16", 1, "address_line_2"), input("a13", 11, "city"),
      input("a14", 10, "state"), input("a22", 7, "zip_code"), input("a12", 8, "country"), input("a17", 11, "udf1"),
      input("a18", 11, "udf2"), input("a19", 11, "udf3"), input("a20", 11, "udf4"), input("a21", 11, "udf5"),
      input("", 11, "timeout_duration"), input("", 11, "return_url_failure"), input("", 11, "return_url_cancel"),
      input("", 11, "percent_tdr_by_user"), input("", 11, "flatfee_tdr_by_user"),
      input("", 11, "show_convenience_fee"), input("", 11, "split_enforce_strict"), input("s", 11, "split_info"),
      input("", 11, "payment_options"), input("", 11, "payment_page_display_text"),
      input("", 11, "allowed_bank_codes"), input("", 11, "allowed_emi_tenure"), input("", 11, "allowed_bins"),
      input("", 11, "offer_code"), input("", 11, "product_details"), input("", 11, "enable_auto_refund")};
  ASSERT_EQ(all.size(), 48u);
  EXPECT_EQ(std::vector<std::string>(all.begin() + 1, all.begin() + 39), expected);
}

TEST(PaymentFormPage, AbsentAndEmptyOptionalFieldsAreWrittenAlike) {
  VelquorParams absent;
  VelquorParams empty;
  empty.offer_code = "";
  EXPECT_EQ(paymentFormPage(absent, "u"), paymentFormPage(empty, "u"));
}

TEST(PaymentFormPage, EscapesTheFourAttributeCharactersInValuesAndEndpointOnly) {
  VelquorParams params;
  params.name = "Zoë \"Z\" <b>&co</b>";
  params.description = "line one\nline two";
  params.udf1 = "  spaced  ";
  params.enable_auto_refund = "'single'";
  const auto page = paymentFormPage(params, "https://gw.example/pay?a=1&b=\"2\"");
  EXPECT_NE(page.find("value=\"Zoë &quot;Z&quot; &lt;b&gt;&amp;co&lt;/b&gt;\"           name=\"name\""), std::string::npos);
  EXPECT_NE(page.find("value=\"line one\nline two\"    name=\"description\""), std::string::npos);
  EXPECT_NE(page.find("value=\"  spaced  \""), std::string::npos);
  EXPECT_NE(page.find("value=\"'single'\""), std::string::npos);
  EXPECT_TRUE(page.starts_with("<form action=\"https://gw.example/pay?a=1&amp;b=&quot;2&quot;\" id="));
}

TEST(PaymentFormPage, ItsSizeIsTheFixedTextPlusTheEscapedInsertions) {
  VelquorParams params;
  params.udf5 = std::string(1'000'000, '&');
  params.product_details = std::string(3, '\0');
  const auto page = paymentFormPage(params, "e");
  EXPECT_EQ(page.size(), 2545 + 1 + 5'000'000 + 3);
}

}  // namespace
