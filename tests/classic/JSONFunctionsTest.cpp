#include "ClassicTestSupport.h"

#include <velquor/platform/NSJSONSerialization.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <variant>
#include <vector>

using namespace velquor::platform;
using VelquorClassic::VelquorParams;
using Json = nlohmann::json;

namespace {

// The error the functions make themselves: domain, code, and the caught exception as its only entry.
void expectCaughtException(const std::shared_ptr<NSError>& error, const std::string& exceptionName) {
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->domain(), "JSONSerialization");
  EXPECT_EQ(error->code(), -1);
  ASSERT_EQ(error->userInfo().size(), 1u);
  ASSERT_TRUE(error->userInfo().contains("exception"));
  const auto* exception = std::get_if<NSException>(&error->userInfo().at("exception"));
  ASSERT_NE(exception, nullptr);
  EXPECT_EQ(exception->name(), exceptionName);
  EXPECT_FALSE(exception->reason().empty());
}

void expectParserError(const std::shared_ptr<NSError>& error) {
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
  EXPECT_EQ(error->code(), 3840);
  EXPECT_TRUE(error->userInfo().contains(NSDebugDescriptionErrorKey));
}

TEST(VelquorParamsFromData, SetsTheFieldsTheDocumentNamesAndLeavesTheErrorNil) {
  std::shared_ptr<NSError> error;
  auto params = VelquorParamsFromData(NSData(R"({"hash":"h","amount":"10","unknown":"ignored"})"), &error);
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(params->theHash(), Json("h"));
  EXPECT_EQ(params->amount(), Json("10"));
  auto dictionary = params->JSONDictionary();
  dictionary.erase("hash");
  dictionary.erase("amount");
  for (const auto& [key, value] : dictionary.items()) EXPECT_TRUE(value.is_null()) << key;
}

TEST(VelquorParamsFromData, LeavesAFieldGivenAsNullAbsent) {
  std::shared_ptr<NSError> error;
  auto params = VelquorParamsFromData(NSData(R"({"udf1":null})"), &error);
  ASSERT_NE(params, nullptr);
  EXPECT_FALSE(params->udf1().has_value());
}

TEST(VelquorParamsFromData, GivesNilAndTheParsersOwnErrorForMalformedData) {
  for (const char* malformed : {R"({"hash":"h","amount":)", R"({"hash" "h"})", "", "{} {}", "[1,]"}) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(VelquorParamsFromData(NSData(malformed), &error), nullptr) << malformed;
    expectParserError(error);
  }
}

TEST(VelquorParamsFromData, GivesNilAndTheCaughtExceptionForNilData) {
  std::shared_ptr<NSError> error;
  EXPECT_EQ(VelquorParamsFromData(std::nullopt, &error), nullptr);
  expectCaughtException(error, "NSInvalidArgumentException");
}

TEST(VelquorParamsFromData, GivesNilAndTheCaughtExceptionForATopLevelValueThatIsNotAnObject) {
  for (const char* fragment : {R"("a bare string")", "42", "null", "true", R"(["hash","h"])"}) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(VelquorParamsFromData(NSData(fragment), &error), nullptr) << fragment;
    expectCaughtException(error, "NSInvalidArgumentException");
  }
}

TEST(VelquorParamsFromData, RefusesADocumentNestedTooDeeplyWithoutCrashing) {
  std::shared_ptr<NSError> error;
  const NSData deep = "{\"udf1\":" + std::string(100'000, '[') + std::string(100'000, ']') + "}";
  EXPECT_EQ(VelquorParamsFromData(deep, &error), nullptr);
  expectParserError(error);
}

TEST(VelquorParamsFromJSON, GivesNilAndTheCaughtExceptionForNilTextOrTextTheEncodingCannotHold) {
  const std::vector<std::pair<std::optional<std::string>, NSStringEncoding>> cases = {
      {std::nullopt, NSUTF8StringEncoding},
      {R"({"name":"Zoë"})", NSASCIIStringEncoding},
      {R"({"name":"€"})", NSISOLatin1StringEncoding},
      {R"({"name":"x"})", 999},
  };
  for (const auto& [text, encoding] : cases) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(VelquorParamsFromJSON(text, encoding, &error), nullptr) << text.value_or("nil");
    expectCaughtException(error, "NSInvalidArgumentException");
  }
}

TEST(VelquorParamsFromJSON, ReadsTheTextInEachOfTheFiveJSONEncodings) {
  const std::string text = R"({"name":"Zoë 日本","amount":"249.00"})";
  for (auto encoding : {NSUTF8StringEncoding, NSUTF16StringEncoding, NSUTF16BigEndianStringEncoding,
                        NSUTF16LittleEndianStringEncoding, NSUTF32StringEncoding, NSUTF32BigEndianStringEncoding,
                        NSUTF32LittleEndianStringEncoding}) {
    std::shared_ptr<NSError> error;
    auto params = VelquorParamsFromJSON(text, encoding, &error);
    ASSERT_NE(params, nullptr) << encoding << (error ? " " + error->localizedDescription() : "");
    EXPECT_EQ(params->name(), Json("Zoë 日本")) << encoding;
    EXPECT_EQ(params->amount(), Json("249.00"));
  }
  std::shared_ptr<NSError> error;
  auto latin = VelquorParamsFromJSON(R"({"name":"Zoe"})", NSISOLatin1StringEncoding, &error);
  ASSERT_NE(latin, nullptr) << "ASCII-only text in Latin 1 is UTF-8 as well";
  EXPECT_EQ(latin->name(), Json("Zoe"));
}

TEST(VelquorParamsToData, WritesTheThirtyEightJSONKeysCompactlyWithNullForEachAbsentField) {
  std::shared_ptr<NSError> error;
  auto data = VelquorParamsToData(std::make_shared<VelquorParams>(), &error);
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(data->find_first_of(" \n\r\t"), std::string::npos);
  const auto document = Json::parse(*data);
  ASSERT_EQ(document.size(), 38u);
  for (const auto& key : classic_test::kJSONKeys) EXPECT_TRUE(document.at(key).is_null()) << key;
  for (const char* propertyName : {"theHash", "apiKey", "theDescription", "orderID", "returnURL", "zipCode"}) {
    EXPECT_FALSE(document.contains(propertyName));
  }
}

TEST(VelquorParamsToData, GivesNilAndTheCaughtExceptionForNilParametersOrAValueJSONCannotHold) {
  std::shared_ptr<NSError> error;
  EXPECT_FALSE(VelquorParamsToData(nullptr, &error).has_value());
  expectCaughtException(error, "NSInvalidArgumentException");

  for (double unwritable : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    auto params = std::make_shared<VelquorParams>();
    params->setValue(Json(unwritable), "amount");
    error.reset();
    EXPECT_FALSE(VelquorParamsToData(params, &error).has_value());
    expectCaughtException(error, "NSInvalidArgumentException");
    error.reset();
    EXPECT_FALSE(VelquorParamsToJSON(params, NSUTF8StringEncoding, &error).has_value());
    expectCaughtException(error, "NSInvalidArgumentException");
  }
}

TEST(VelquorParamsToJSON, InUTF8IsTheTextOfTheDataAndAnUndecodableResultLeavesTheErrorUntouched) {
  auto params = classic_test::distinctParams();
  params->setName("Zoë");
  std::shared_ptr<NSError> error;
  const auto data = VelquorParamsToData(params, &error);
  const auto text = VelquorParamsToJSON(params, NSUTF8StringEncoding, &error);
  ASSERT_TRUE(data && text);
  EXPECT_EQ(*text, *data);

  EXPECT_FALSE(VelquorParamsToJSON(params, NSASCIIStringEncoding, &error).has_value());
  EXPECT_EQ(error, nullptr);
  EXPECT_FALSE(VelquorParamsToJSON(params, 999, &error).has_value());
  EXPECT_EQ(error, nullptr);
}

TEST(JSONFunctions, ReadBackTheTextTheyWroteAbsentStayingAbsentAndNumbersStayingNumbers) {
  auto original = classic_test::distinctParams();
  original->setUdf2(std::nullopt);
  original->setAmount(Json(100));
  original->setName("Zoë \"quoted\" \\ / 日本");
  std::shared_ptr<NSError> error;
  const auto text = VelquorParamsToJSON(original, NSUTF8StringEncoding, &error);
  ASSERT_TRUE(text.has_value());
  auto rebuilt = VelquorParamsFromJSON(*text, NSUTF8StringEncoding, &error);
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->JSONDictionary(), original->JSONDictionary());
  EXPECT_FALSE(rebuilt->udf2().has_value());
  EXPECT_EQ(error, nullptr);
}

TEST(JSONFunctions, SucceedOnValidInputEvenWhenTheErrorVariableHoldsAStaleError) {
  const auto stale = NSError::errorWithDomain("Earlier", 7);
  auto error = stale;
  auto params = VelquorParamsFromData(NSData(R"({"hash":"h"})"), &error);
  ASSERT_NE(params, nullptr) << "success is judged by the result";
  EXPECT_EQ(error, stale) << "and the variable is left as it was";
  EXPECT_NE(VelquorParamsFromJSON(R"({"hash":"h"})", NSUTF16StringEncoding, &error), nullptr);
  EXPECT_TRUE(VelquorParamsToData(params, &error).has_value());
  EXPECT_TRUE(VelquorParamsToJSON(params, NSUTF8StringEncoding, &error).has_value());
  EXPECT_EQ(error, stale);
}

TEST(JSONFunctions, AFailingCallReplacesAStaleError) {
  const auto stale = NSError::errorWithDomain("Earlier", 7);
  auto error = stale;
  EXPECT_EQ(VelquorParamsFromData(NSData("{"), &error), nullptr);
  expectParserError(error);
  error = stale;
  EXPECT_EQ(VelquorParamsFromData(NSData("[]"), &error), nullptr);
  expectCaughtException(error, "NSInvalidArgumentException");
  error = stale;
  EXPECT_FALSE(VelquorParamsToData(nullptr, &error).has_value());
  expectCaughtException(error, "NSInvalidArgumentException");
}

TEST(JSONFunctions, TakeANullErrorLocationAsACallerThatWantsNoError) {
  EXPECT_NE(VelquorParamsFromData(NSData("{}"), nullptr), nullptr);
  EXPECT_EQ(VelquorParamsFromData(NSData("{"), nullptr), nullptr);
  EXPECT_EQ(VelquorParamsFromData(std::nullopt, nullptr), nullptr);
  EXPECT_EQ(VelquorParamsFromJSON(std::nullopt, NSUTF8StringEncoding, nullptr), nullptr);
  EXPECT_FALSE(VelquorParamsToData(nullptr, nullptr).has_value());
  EXPECT_FALSE(VelquorParamsToJSON(nullptr, NSUTF8StringEncoding, nullptr).has_value());
  EXPECT_TRUE(VelquorParamsToJSON(std::make_shared<VelquorParams>(), NSUTF8StringEncoding, nullptr).has_value());
}

TEST(JSONFunctions, AreReachedThroughTheForwardingOperationsOfTheObject) {
  std::shared_ptr<NSError> error;
  auto fromData = VelquorParams::fromData(NSData(R"({"order_id":"ORD-1"})"), &error);
  ASSERT_NE(fromData, nullptr);
  EXPECT_EQ(fromData->orderID(), Json("ORD-1"));
  auto fromJSON = VelquorParams::fromJSON(R"({"zip_code":"560001"})", NSUTF32StringEncoding, &error);
  ASSERT_NE(fromJSON, nullptr);
  EXPECT_EQ(fromJSON->zipCode(), Json("560001"));
  EXPECT_EQ(fromData->toData(&error), VelquorParamsToData(fromData, &error));
  EXPECT_EQ(fromData->toJSON(NSUTF8StringEncoding, &error), VelquorParamsToJSON(fromData, NSUTF8StringEncoding, &error));
  EXPECT_EQ(VelquorParams::fromData(std::nullopt, &error), nullptr);
  expectCaughtException(error, "NSInvalidArgumentException");

  VelquorParams unshared;  // owned by no shared_ptr
  unshared.setCity("Pune");
  const auto data = unshared.toData(nullptr);
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(Json::parse(*data).at("city"), Json("Pune"));
}

// Each field of `params` by property name, nil told apart from the null value.
std::map<std::string, std::string> fieldsOf(const VelquorParams& params) {
  std::map<std::string, std::string> fields;
  for (const auto& [key, propertyName] : VelquorParams::properties()) {
    const auto& value = params.valueForKey(propertyName);
    fields[propertyName] = value ? value->dump() : "nil";
  }
  return fields;
}

// The reason of the exception the functions caught, from the error they made of it.
std::string caughtReason(const std::shared_ptr<NSError>& error) {
  if (!error || !error->userInfo().contains("exception")) return "no exception";
  const auto& exception = std::get<NSException>(error->userInfo().at("exception"));
  return exception.name() + ": " + exception.reason();
}

TEST(VelquorParamsFromData, SetsTheFieldsAsTheDictionaryReadWholeWouldForRepeatedNullNestedAndUnknownKeys) {
  const std::vector<std::string> texts = {
      R"({"udf1":"first","udf1":null})", R"({"udf1":null,"udf1":"last"})",
      R"({"amount":100,"mode":true,"name":{"first":"Zoë","more":[1,null]},"phone":[],"email":2.5})",
      R"({"api\u005fkey":"an escaped key","theHash":"a property name","HASH":"x","hash":""})",
      R"({"udf2":"","udf3":"a\u0000b","udf4":null,"unknown":{"udf5":"nested, not a field"}})",
      R"({"zip_code":"560038","zip_code":{"again":[[]]},"address_line_1":"12, Lake View"})", "{}"};
  for (const auto& text : texts) {
    std::shared_ptr<NSError> error;
    const auto params = VelquorParamsFromData(text, &error);
    ASSERT_NE(params, nullptr) << text;
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(fieldsOf(*params), fieldsOf(*VelquorParams::initWithJSONDictionary(Json::parse(text)))) << text;
  }
}

TEST(VelquorParamsFromData, AnObjectCutShortAfterSomeMembersGivesNilAndTheParsersError) {
  for (const char* text : {R"({"hash":"h","amount":"1",)", R"({"hash":"h","name":{"a":[1,}})", R"({"hash":"h"} x)"}) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(VelquorParamsFromData(NSData(text), &error), nullptr) << text;
    expectParserError(error);
  }
  std::shared_ptr<NSError> error;
  EXPECT_EQ(VelquorParamsFromData(NSData(R"([{"hash":"h"}])"), &error), nullptr);
  EXPECT_NE(caughtReason(error).find("an array, not a dictionary"), std::string::npos) << caughtReason(error);
}

TEST(VelquorParamsToData, WritesTextFieldsByteForByteAsTheDictionaryThroughTheJSONFacility) {
  std::string controls;
  for (int c = 0; c < 0x20; ++c) controls += static_cast<char>(c);
  const std::vector<std::string> texts = {"", controls + "\"\\/\x7f", "Zoë 日本 \xF0\x9F\x98\x80", "</script><b>&amp;",
                                         std::string(1 << 20, 'x') + "\"é\n"};
  for (const auto& text : texts) {
    auto params = classic_test::distinctParams();  // a field written in the wrong place shows
    params->setAddressLine1(text);                // the first key written
    params->setZipCode(text);                     // the last
    params->setTheHash(text);
    params->setUdf3(std::nullopt);
    params->setValue(Json(nullptr), "udf4");      // the null value, not nil
    std::shared_ptr<NSError> error;
    const auto data = VelquorParamsToData(params, &error);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(*data, NSJSONSerialization::dataWithJSONObject(params->JSONDictionary(), 0, nullptr))
        << text.substr(0, 40);
  }
  const auto empty = std::make_shared<VelquorParams>();
  EXPECT_EQ(VelquorParamsToData(empty, nullptr),
            NSJSONSerialization::dataWithJSONObject(empty->JSONDictionary(), 0, nullptr));
}

TEST(VelquorParamsToData, WritesFieldsThatAreNoTextsAsTheDictionaryAndRefusesTextThatIsNotUTF8AsItDoes) {
  auto mixed = classic_test::distinctParams();
  mixed->setAmount(Json(2499.5));
  mixed->setMode(Json(true));
  mixed->setName(Json{{"first", "Zoë"}, {"list", {1, nullptr, "\""}}});
  EXPECT_EQ(VelquorParamsToData(mixed, nullptr),
            NSJSONSerialization::dataWithJSONObject(mixed->JSONDictionary(), 0, nullptr));

  for (const char* notUTF8 : {"\xff", "ok\xc3", "\xed\xa0\x80"}) {
    auto params = classic_test::distinctParams();
    params->setUdf5(std::string(notUTF8));
    std::string expected;
    try {
      (void)NSJSONSerialization::dataWithJSONObject(params->JSONDictionary(), 0, nullptr);
    } catch (const NSException& exception) {
      expected = exception.name() + ": " + exception.reason();
    }
    ASSERT_FALSE(expected.empty());
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(VelquorParamsToData(params, &error).has_value());
    expectCaughtException(error, "NSInvalidArgumentException");
    EXPECT_EQ(caughtReason(error), expected);
  }
}

}  // namespace
