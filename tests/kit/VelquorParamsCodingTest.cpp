#include "VelquorParamsFields.h"

#include "KitTestSupport.h"

#include <velquor/platform/Coding.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velquor::platform;
using VelquorKit::VelquorParams;
using Json = nlohmann::json;

namespace {

Json fullDocument() {
  Json document;
  for (const auto& field : VelquorKit::kVelquorParamsFields) document[std::string(field.key)] = "v:" + std::string(field.key);
  return document;
}

Json requiredOnly() {
  Json document;
  for (std::size_t i = 0; i < VelquorKit::kVelquorParamsRequiredKeyCount; ++i) {
    document[std::string(VelquorKit::kVelquorParamsFields[i].key)] = "";
  }
  return document;
}

DecodingError decodingError(const Json& document) {
  try {
    VelquorParams params{Decoder(document)};
    ADD_FAILURE() << "decoded " << document.dump();
  } catch (const DecodingError& error) {
    return error;
  }
  return DecodingError(DecodingError::Kind::dataCorrupted, {}, "none");
}

TEST(Coding, ReadsAllThirtyEightKeysIntoTheirFields) {
  const VelquorParams params{Decoder(fullDocument())};
  EXPECT_EQ(params.api_key, "v:api_key");
  EXPECT_EQ(params.address_line_1, "v:address_line_1");
  EXPECT_EQ(params.udf5, "v:udf5");
  EXPECT_EQ(params.timeout_duration, "v:timeout_duration");
  EXPECT_EQ(params.payment_page_display_text, "v:payment_page_display_text");
  EXPECT_EQ(params.enable_auto_refund, "v:enable_auto_refund");
}

TEST(Coding, OptionalKeysMayBeMissingOrNullButEmptyTextStaysPresent) {
  auto document = requiredOnly();
  const VelquorParams absent{Decoder(document)};
  EXPECT_FALSE(absent.timeout_duration.has_value());
  EXPECT_FALSE(absent.enable_auto_refund.has_value());
  document["timeout_duration"] = nullptr;
  EXPECT_FALSE(VelquorParams{Decoder(document)}.timeout_duration.has_value());
  document["timeout_duration"] = "";
  EXPECT_EQ(VelquorParams{Decoder(document)}.timeout_duration, "");
}

TEST(Coding, TellsTheThreeKeyFaultsApartAndNamesTheKey) {
  auto document = requiredOnly();
  document.erase("udf5");
  auto error = decodingError(document);
  EXPECT_EQ(error.kind(), DecodingError::Kind::keyNotFound);
  EXPECT_EQ(error.key(), "udf5");

  document["udf5"] = nullptr;
  EXPECT_EQ(decodingError(document).kind(), DecodingError::Kind::valueNotFound);
  document["udf5"] = 5;
  EXPECT_EQ(decodingError(document).kind(), DecodingError::Kind::typeMismatch);
  document["udf5"] = "";
  document["amount"] = 10.0;
  error = decodingError(document);
  EXPECT_EQ(error.kind(), DecodingError::Kind::typeMismatch) << "amounts are texts, not numbers";
  EXPECT_EQ(error.key(), "amount");
  document["amount"] = "10.00";
  document["offer_code"] = Json::array();
  EXPECT_EQ(decodingError(document).key(), "offer_code") << "optional keys must hold text too";
}

TEST(Coding, StopsAtTheFirstFaultyKeyInFieldOrder) {
  auto document = requiredOnly();
  document.erase("amount");
  document.erase("api_key");
  document["udf1"] = false;
  EXPECT_EQ(decodingError(document).key(), "api_key");
}

TEST(Coding, IgnoresKeysOutsideTheKeySetIncludingOtherCasings) {
  auto document = requiredOnly();
  document["extra"] = Json::array({1, 2});
  EXPECT_NO_THROW(VelquorParams{Decoder(document)});
  document.erase("api_key");
  document["API_KEY"] = "k";
  const auto error = decodingError(document);
  EXPECT_EQ(error.kind(), DecodingError::Kind::keyNotFound);
  EXPECT_EQ(error.key(), "api_key");
}

TEST(Coding, ErrorsCarryTheirPathInsideALargerDocument) {
  Json outer = {{"payment", requiredOnly()}};
  outer["payment"]["udf5"] = nullptr;
  try {
    const Decoder top(outer);
    VelquorParams params(top.container().superDecoder("payment"));
    FAIL();
  } catch (const DecodingError& error) {
    EXPECT_EQ(codingPathString(error.codingPath()), "/payment/udf5");
    EXPECT_EQ(std::string(error.what()).rfind("valueNotFound /payment/udf5: ", 0), 0u) << error.what();
  }
}

TEST(Coding, ADocumentThatIsNotAnObjectOrNotJSONIsDataCorrupted) {
  for (const auto* text : {"[]", "\"text\"", "null", "{\"api_key\": ", "\xff", "{} trailing"}) {
    try {
      JSONDecoder().decode<VelquorParams>(text);
      ADD_FAILURE() << text;
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted) << text;
    }
  }
  EXPECT_THROW(JSONDecoder().decode<VelquorParams>(std::string(100'000, '[')), DecodingError);
}

TEST(Coding, WritesRequiredKeysAlwaysAndOptionalKeysOnlyWhenPresent) {
  VelquorParams params;
  Json written = params;
  EXPECT_EQ(written, requiredOnly());
  params.split_info = "";
  written = params;
  EXPECT_EQ(written.size(), 23u);
  EXPECT_EQ(written["split_info"], "");
  for (const auto& [key, value] : written.items()) EXPECT_TRUE(value.is_string()) << key;
}

TEST(Coding, WritesTheThirtyEightKeysInFieldOrder) {
  const VelquorParams params{Decoder(fullDocument())};
  std::vector<std::string> keys;
  const auto written = nlohmann::ordered_json::parse(JSONEncoder().encode(params));
  for (const auto& [key, value] : written.items()) keys.push_back(key);
  const std::vector<std::string> fieldOrder = {
      "api_key", "order_id", "hash", "amount", "mode", "name", "phone", "email", "currency", "country", "city",
      "state", "address_line_1", "address_line_2", "zip_code", "return_url", "description", "udf1", "udf2", "udf3",
      "udf4", "udf5", "timeout_duration", "return_url_failure", "return_url_cancel", "percent_tdr_by_user",
      "flatfee_tdr_by_user", "show_convenience_fee", "split_enforce_strict", "split_info", "payment_options",
      "payment_page_display_text", "allowed_bank_codes", "allowed_emi_tenure", "allowed_bins", "offer_code",
      "product_details", "enable_auto_refund"};
  EXPECT_EQ(keys, fieldOrder);
  EXPECT_EQ(params.city, "v:city") << "each key reads into its own member";
  EXPECT_EQ(params.return_url_cancel, "v:return_url_cancel");
}

TEST(Coding, ARoundTripKeepsEveryValueAndTheDifferenceBetweenEmptyAndAbsent) {
  auto params = kit_test::distinctParams();
  params.name = "Zoë \"Q\" & <co>\n";
  params.split_info = "";
  params.offer_code = "OFF10";
  const auto text = JSONEncoder().encode(params);
  const auto back = JSONDecoder().decode<VelquorParams>(text);
  EXPECT_EQ(Json(back), Json(params));
  EXPECT_EQ(back.split_info, "");
  EXPECT_FALSE(back.timeout_duration.has_value());
  EXPECT_EQ(back.name, params.name);
}

TEST(Coding, TextThatIsNotUTF8CannotBeWrittenAndTheErrorNamesItsKey) {
  VelquorParams params;
  params.city = "\xff";
  try {
    JSONEncoder().encode(params);
    FAIL();
  } catch (const EncodingError& error) {
    EXPECT_EQ(codingPathString(error.codingPath()), "/city");
  }
}

TEST(CodingKeys, MatchFieldNamesExactly) {
  using VelquorKit::codingKeyFromString;
  EXPECT_EQ(codingKeyFromString("enable_auto_refund"), 37u);
  EXPECT_EQ(codingKeyFromString("api_key"), 0u);
  EXPECT_EQ(VelquorKit::stringValue(12), "address_line_1");
  for (const auto* miss : {"enable_auto_refundx", "Enable_auto_refund", " api_key", "", "apiKey"}) {
    EXPECT_FALSE(codingKeyFromString(miss).has_value()) << miss;
  }
}

}  // namespace
