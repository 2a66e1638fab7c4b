#include "ClassicTestSupport.h"

#include <velquor/platform/NSException.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using VelquorClassic::VelquorParams;
using velquor::platform::NSException;
using Json = nlohmann::json;

namespace {

using Getter = const VelquorParams::Value& (VelquorParams::*)() const;
using Setter = void (VelquorParams::*)(VelquorParams::Value);

struct Accessors {
  const char* jsonKey;
  const char* propertyName;
  Getter get;
  Setter set;
};

// The 38 properties in declaration order, with the key the table ties to each.
const std::vector<Accessors> kAccessors = {
    {"address_line_1", "addressLine1", &VelquorParams::addressLine1, &VelquorParams::setAddressLine1},
    {"address_line_2", "addressLine2", &VelquorParams::addressLine2, &VelquorParams::setAddressLine2},
    {"amount", "amount", &VelquorParams::amount, &VelquorParams::setAmount},
    {"api_key", "apiKey", &VelquorParams::apiKey, &VelquorParams::setApiKey},
    {"city", "city", &VelquorParams::city, &VelquorParams::setCity},
    {"country", "country", &VelquorParams::country, &VelquorParams::setCountry},
    {"currency", "currency", &VelquorParams::currency, &VelquorParams::setCurrency},
    {"description", "theDescription", &VelquorParams::theDescription, &VelquorParams::setTheDescription},
    {"email", "email", &VelquorParams::email, &VelquorParams::setEmail},
    {"hash", "theHash", &VelquorParams::theHash, &VelquorParams::setTheHash},
    {"mode", "mode", &VelquorParams::mode, &VelquorParams::setMode},
    {"name", "name", &VelquorParams::name, &VelquorParams::setName},
    {"order_id", "orderID", &VelquorParams::orderID, &VelquorParams::setOrderID},
    {"phone", "phone", &VelquorParams::phone, &VelquorParams::setPhone},
    {"return_url", "returnURL", &VelquorParams::returnURL, &VelquorParams::setReturnURL},
    {"state", "state", &VelquorParams::state, &VelquorParams::setState},
    {"udf1", "udf1", &VelquorParams::udf1, &VelquorParams::setUdf1},
    {"udf2", "udf2", &VelquorParams::udf2, &VelquorParams::setUdf2},
    {"udf3", "udf3", &VelquorParams::udf3, &VelquorParams::setUdf3},
    {"udf4", "udf4", &VelquorParams::udf4, &VelquorParams::setUdf4},
    {"udf5", "udf5", &VelquorParams::udf5, &VelquorParams::setUdf5},
    {"zip_code", "zipCode", &VelquorParams::zipCode, &VelquorParams::setZipCode},
    {"timeout_duration", "timeout_duration", &VelquorParams::timeout_duration, &VelquorParams::setTimeout_duration},
    {"return_url_failure", "return_url_failure", &VelquorParams::return_url_failure, &VelquorParams::setReturn_url_failure},
    {"return_url_cancel", "return_url_cancel", &VelquorParams::return_url_cancel, &VelquorParams::setReturn_url_cancel},
    {"percent_tdr_by_user", "percent_tdr_by_user", &VelquorParams::percent_tdr_by_user, &VelquorParams::setPercent_tdr_by_user},
    {"flatfee_tdr_by_user", "flatfee_tdr_by_user", &VelquorParams::flatfee_tdr_by_user, &VelquorParams::setFlatfee_tdr_by_user},
    {"show_convenience_fee", "show_convenience_fee", &VelquorParams::show_convenience_fee, &VelquorParams::setShow_convenience_fee},
    {"split_enforce_strict", "split_enforce_strict", &VelquorParams::split_enforce_strict, &VelquorParams::setSplit_enforce_strict},
    {"split_info", "split_info", &VelquorParams::split_info, &VelquorParams::setSplit_info},
    {"payment_options", "payment_options", &VelquorParams::payment_options, &VelquorParams::setPayment_options},
    {"payment_page_display_text", "payment_page_display_text", &VelquorParams::payment_page_display_text,
     &VelquorParams::setPayment_page_display_text},
    {"allowed_bank_codes", "allowed_bank_codes", &VelquorParams::allowed_bank_codes, &VelquorParams::setAllowed_bank_codes},
    {"allowed_emi_tenure", "allowed_emi_tenure", &VelquorParams::allowed_emi_tenure, &VelquorParams::setAllowed_emi_tenure},
    {"allowed_bins", "allowed_bins", &VelquorParams::allowed_bins, &VelquorParams::setAllowed_bins},
    {"offer_code", "offer_code", &VelquorParams::offer_code, &VelquorParams::setOffer_code},
    {"product_details", "product_details", &VelquorParams::product_details, &VelquorParams::setProduct_details},
    {"enable_auto_refund", "enable_auto_refund", &VelquorParams::enable_auto_refund, &VelquorParams::setEnable_auto_refund},
};

std::vector<std::pair<std::string, std::string>> tableEntries() {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const auto& [key, name] : VelquorParams::properties()) entries.emplace_back(key, name);
  return entries;
}

TEST(KeyTable, TiesTheThirtyEightJSONKeysToTheirPropertiesInDeclarationOrderAndIsBuiltOnce) {
  std::vector<std::pair<std::string, std::string>> expected;
  for (const auto& accessors : kAccessors) expected.emplace_back(accessors.jsonKey, accessors.propertyName);
  EXPECT_EQ(tableEntries(), expected);
  EXPECT_EQ(&VelquorParams::properties(), &VelquorParams::properties());
  int renamed = 0;
  for (const auto& [key, name] : expected) renamed += key != name ? 1 : 0;
  EXPECT_EQ(renamed, 8);
}

TEST(VelquorParams, EachSetterStoresItsOwnFieldAndTheGetterReturnsIt) {
  auto params = std::make_shared<VelquorParams>();
  for (const auto& accessors : kAccessors) EXPECT_FALSE((params.get()->*accessors.get)().has_value()) << accessors.jsonKey;
  for (const auto& accessors : kAccessors) (params.get()->*accessors.set)(std::string("t-") + accessors.propertyName);
  const auto dictionary = params->JSONDictionary();
  for (const auto& accessors : kAccessors) {
    EXPECT_EQ((params.get()->*accessors.get)(), Json(std::string("t-") + accessors.propertyName));
    EXPECT_EQ(dictionary.at(accessors.jsonKey), Json(std::string("t-") + accessors.propertyName)) << accessors.jsonKey;
    EXPECT_EQ(params->valueForKey(accessors.propertyName), (params.get()->*accessors.get)());
  }
}

TEST(VelquorParams, AChangeToTheCallersTextAfterSettingLeavesTheFieldUnchanged) {
  VelquorParams params;
  std::string text = "10.00";
  params.setAmount(text);
  text[0] = '9';
  EXPECT_EQ(params.amount(), Json("10.00"));
}

TEST(VelquorParams, SettingByKeyTakesJSONKeysOnlyAndDropsEveryOtherKeySilently) {
  VelquorParams params;
  params.setValue("h", "hash");
  EXPECT_EQ(params.theHash(), Json("h"));
  for (const char* propertyName : {"theHash", "apiKey", "theDescription", "orderID", "returnURL", "addressLine1",
                                   "addressLine2", "zipCode", "", "HASH", "unknown"}) {
    params.setValue("dropped", propertyName);
  }
  EXPECT_EQ(params.theHash(), Json("h"));
  const auto dictionary = params.JSONDictionary();
  for (const auto& [key, value] : dictionary.items()) {
    if (key != "hash") {
      EXPECT_TRUE(value.is_null()) << key;
    }
  }
  params.setValue("EUR", "currency");
  EXPECT_EQ(params.currency(), Json("EUR"));
  params.setValue(std::nullopt, "currency");
  EXPECT_FALSE(params.currency().has_value());
}

TEST(VelquorParams, SettingTheNullValueDirectlyStoresItButADictionaryNullClearsTheField) {
  VelquorParams params;
  params.setValue(Json(nullptr), "udf1");
  ASSERT_TRUE(params.udf1().has_value());
  EXPECT_TRUE(params.udf1()->is_null());

  params.setUdf2("kept until cleared");
  params.setValuesForKeysWithDictionary({{"udf1", nullptr}, {"udf2", nullptr}});
  EXPECT_FALSE(params.udf1().has_value());
  EXPECT_FALSE(params.udf2().has_value());
}

TEST(VelquorParams, ANilValueForAKeyOfTheTableStoresTheNumberZero) {
  VelquorParams params;
  params.setNilValueForKey("amount");
  EXPECT_EQ(params.amount(), Json(0));
  params.setNilValueForKey("apiKey");
  EXPECT_FALSE(params.apiKey().has_value());
  params.setNilValueForKey("api_key");
  EXPECT_EQ(params.apiKey(), Json(0));
  params.setNilValueForKey("no such key");
  EXPECT_EQ(params.JSONDictionary().size(), 38u);
}

TEST(VelquorParams, ADictionaryWithHashAndTheHashGivesTheHashTheValueOfHash) {
  auto params = VelquorParams::fromJSONDictionary(Json{{"hash", "first"}, {"theHash", "second"}, {"extra", 1}});
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(params->theHash(), Json("first"));
}

TEST(VelquorParams, FromJSONDictionaryGivesNilForNilAndAnEmptyObjectForAnEmptyDictionary) {
  EXPECT_EQ(VelquorParams::fromJSONDictionary(std::nullopt), nullptr);
  auto params = VelquorParams::fromJSONDictionary(Json::object());
  ASSERT_NE(params, nullptr);
  for (const auto& accessors : kAccessors) EXPECT_FALSE((params.get()->*accessors.get)().has_value());
}

TEST(VelquorParams, AValueOfAnotherKindThanTextStaysAsItIsAndIsWrittenBackUnchanged) {
  auto params = VelquorParams::initWithJSONDictionary(
      Json{{"amount", 100}, {"udf1", true}, {"split_info", Json::array({"a", 1})}, {"product_details", {{"sku", 7}}}});
  EXPECT_EQ(params->amount(), Json(100));
  EXPECT_TRUE(params->amount()->is_number_integer());
  const auto dictionary = params->JSONDictionary();
  EXPECT_EQ(dictionary.at("amount"), Json(100));
  EXPECT_EQ(dictionary.at("udf1"), Json(true));
  EXPECT_EQ(dictionary.at("split_info"), Json::array({"a", 1}));
  EXPECT_EQ(dictionary.at("product_details"), (Json{{"sku", 7}}));
}

TEST(VelquorParams, ANonDictionaryRaisesTheInvalidArgumentException) {
  for (const auto& notADictionary : {Json::array(), Json("text"), Json(3), Json(nullptr), Json(false)}) {
    try {
      (void)VelquorParams::fromJSONDictionary(notADictionary);
      FAIL() << notADictionary.dump() << " was accepted";
    } catch (const NSException& exception) {
      EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
      EXPECT_FALSE(exception.reason().empty());
    }
    VelquorParams params;
    EXPECT_THROW(params.setValuesForKeysWithDictionary(notADictionary), NSException);
  }
}

TEST(JSONDictionary, OfANewObjectHasExactlyTheThirtyEightJSONKeysEachNull) {
  const auto dictionary = VelquorParams().JSONDictionary();
  ASSERT_TRUE(dictionary.is_object());
  ASSERT_EQ(dictionary.size(), 38u);
  for (const auto& key : classic_test::kJSONKeys) {
    ASSERT_TRUE(dictionary.contains(key)) << key;
    EXPECT_TRUE(dictionary.at(key).is_null()) << key;
  }
}

TEST(JSONDictionary, UsesTheJSONKeyForARenamedPropertyAndNeverThePropertyName) {
  VelquorParams params;
  params.setTheDescription("two notebooks");
  params.setApiKey("key");
  const auto dictionary = params.JSONDictionary();
  EXPECT_EQ(dictionary.at("description"), Json("two notebooks"));
  EXPECT_EQ(dictionary.at("api_key"), Json("key"));
  for (const char* propertyName :
       {"theDescription", "theHash", "apiKey", "orderID", "returnURL", "addressLine1", "addressLine2", "zipCode"}) {
    EXPECT_FALSE(dictionary.contains(propertyName)) << propertyName;
  }
}

TEST(JSONDictionary, RebuildsAnObjectWithTheSameValuesAbsentStayingAbsent) {
  auto original = classic_test::distinctParams();
  original->setUdf3(std::nullopt);
  original->setAmount(Json(250.5));
  original->setSplit_info(Json{{"vendor", "A"}});
  auto rebuilt = VelquorParams::fromJSONDictionary(original->JSONDictionary());
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_NE(rebuilt, original);
  for (const auto& accessors : kAccessors) {
    EXPECT_EQ((rebuilt.get()->*accessors.get)(), (original.get()->*accessors.get)()) << accessors.jsonKey;
  }
  EXPECT_FALSE(rebuilt->udf3().has_value());
}

TEST(VelquorParams, ReadingByKeyTakesPropertyNamesAndRaisesForAnyOtherKey) {
  VelquorParams params;
  params.setTheHash("h");
  EXPECT_EQ(params.valueForKey("theHash"), Json("h"));
  EXPECT_FALSE(params.valueForKey("amount").has_value());
  try {
    (void)params.valueForKey("hash");
    FAIL() << "a JSON key that is not a property name was read";
  } catch (const NSException& exception) {
    EXPECT_EQ(exception.name(), "NSUnknownKeyException");
    EXPECT_NE(exception.reason().find("hash"), std::string::npos);
  }
}

}  // namespace
