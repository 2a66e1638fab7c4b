#include <velquor/platform/JSONReading.h>
#include <velquor/platform/NSException.h>
#include <velquor/platform/NSJSONSerialization.h>
#include <velquor/platform/NSStringEncoding.h>

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>
#include <string>
#include <variant>
#include <vector>

using namespace velquor::platform;
using Json = nlohmann::json;

namespace {

std::string debugDescription(const std::shared_ptr<NSError>& error) {
  const auto& text = std::get<std::string>(error->userInfo().at(NSDebugDescriptionErrorKey));
  return text;
}

long long errorIndex(const std::shared_ptr<NSError>& error) {
  return std::get<long long>(error->userInfo().at(NSJSONSerializationErrorIndex));
}

std::optional<Json> read(const NSData& data, NSJSONReadingOptions options, std::shared_ptr<NSError>* error = nullptr) {
  return NSJSONSerialization::JSONObjectWithData(data, options, error);
}

TEST(NSJSONSerializationReading, TellsTheFiveEncodingsApartWithOrWithoutAByteOrderMark) {
  const std::string text = R"({"name":"Zoë 日本 😀"})";
  for (auto encoding : {NSUTF8StringEncoding, NSUnicodeStringEncoding, NSUTF16BigEndianStringEncoding,
                        NSUTF16LittleEndianStringEncoding, NSUTF32StringEncoding, NSUTF32BigEndianStringEncoding,
                        NSUTF32LittleEndianStringEncoding}) {
    const auto data = dataUsingEncoding(text, encoding);
    ASSERT_TRUE(data.has_value());
    std::shared_ptr<NSError> error;
    EXPECT_EQ(read(*data, 0, &error), (Json{{"name", "Zoë 日本 😀"}})) << encoding;
    EXPECT_EQ(error, nullptr);
  }
  EXPECT_EQ(read("\xEF\xBB\xBF[1]", 0), Json::array({1})) << "UTF-8 with its mark";
  EXPECT_EQ(read(std::string("\xFE\xFF\x00[\x00]", 6), 0), Json::array()) << "UTF-16BE with its mark";
  EXPECT_EQ(read(std::string("\x00\x00\xFE\xFF\x00\x00\x00[\x00\x00\x00]", 12), 0), Json::array());
}

TEST(NSJSONSerializationReading, AcceptsATopLevelFragmentOnlyWhenAllowedInEveryEncoding) {
  for (auto encoding : {NSUTF8StringEncoding, NSUTF16BigEndianStringEncoding, NSUTF16LittleEndianStringEncoding,
                        NSUTF32BigEndianStringEncoding, NSUTF32LittleEndianStringEncoding}) {
    for (const char* fragment : {"1", "\"x\"", "null", "true"}) {
      const auto data = *dataUsingEncoding(fragment, encoding);
      EXPECT_EQ(read(data, NSJSONReadingAllowFragments), Json::parse(fragment)) << encoding << " " << fragment;
      std::shared_ptr<NSError> error;
      EXPECT_FALSE(read(data, 0, &error).has_value());
      ASSERT_NE(error, nullptr);
      EXPECT_EQ(error->code(), 3840);
    }
  }
}

TEST(NSJSONSerializationReading, RaisesTheInvalidArgumentExceptionForMissingData) {
  try {
    (void)NSJSONSerialization::JSONObjectWithData(std::nullopt, 0, nullptr);
    FAIL() << "nil data was read";
  } catch (const NSException& exception) {
    EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
  }
}

TEST(NSJSONSerializationReading, ReportsMalformedInputAsCocoaError3840SayingWhereItFailed) {
  std::shared_ptr<NSError> error;
  EXPECT_FALSE(read("{\"a\": 1,\n \"b\": tru}", 0, &error).has_value());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
  EXPECT_EQ(error->code(), 3840);
  EXPECT_NE(debugDescription(error).find("line 2, column 10"), std::string::npos) << debugDescription(error);
  EXPECT_EQ(errorIndex(error), 18);
  EXPECT_EQ(error->localizedDescription(), "The data couldn't be read because it isn't in the correct format.");

  // In UTF-16 the index counts the bytes as given, not those of the converted text.
  error.reset();
  EXPECT_FALSE(read(*dataUsingEncoding("[\"é\", x]", NSUTF16LittleEndianStringEncoding), 0, &error).has_value());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(errorIndex(error), 12);
  EXPECT_NE(debugDescription(error).find("line 1, column 7"), std::string::npos) << debugDescription(error);
}

TEST(NSJSONSerializationReading, ReportsBytesThatAreNotValidInTheDetectedEncoding) {
  std::shared_ptr<NSError> error;
  EXPECT_FALSE(read(std::string("[\x00\x00\xD8]\x00", 6), 0, &error).has_value()) << "a lone surrogate in UTF-16LE";
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code(), 3840);
  EXPECT_EQ(errorIndex(error), 2);
  EXPECT_NE(debugDescription(error).find("UTF-16LE"), std::string::npos);
  error.reset();
  EXPECT_FALSE(read("[\"\xFF\"]", 0, &error).has_value()) << "not UTF-8";
  EXPECT_EQ(errorIndex(error), 2);
}

TEST(NSJSONSerializationReading, RefusesNestingDeeperThan512LevelsWithoutCrashing) {
  EXPECT_TRUE(read(std::string(512, '[') + std::string(512, ']'), 0).has_value());
  std::shared_ptr<NSError> error;
  EXPECT_FALSE(read(std::string(513, '[') + std::string(513, ']'), 0, &error).has_value());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(errorIndex(error), 512);
  const auto deep = *dataUsingEncoding(std::string(200'000, '['), NSUTF16LittleEndianStringEncoding);
  EXPECT_FALSE(read(deep, 0, &error).has_value());
  EXPECT_EQ(errorIndex(error), 1024);
}

TEST(NSJSONSerializationWriting, WritesCompactUTF8AndPrettyPrintsOnlyWhenAsked) {
  const Json object = {{"b", "Zoë/日本"}, {"a", Json::array({1, 2.5, nullptr, true})}};
  EXPECT_EQ(NSJSONSerialization::dataWithJSONObject(object, 0, nullptr), R"({"a":[1,2.5,null,true],"b":"Zoë/日本"})");
  const auto pretty = NSJSONSerialization::dataWithJSONObject(object, NSJSONWritingPrettyPrinted, nullptr);
  ASSERT_TRUE(pretty.has_value());
  EXPECT_NE(pretty->find('\n'), std::string::npos);
  EXPECT_EQ(Json::parse(*pretty), object);
}

TEST(NSJSONSerializationWriting, RaisesTheInvalidTypeExceptionForWhatJSONCannotHold) {
  const auto expectRaises = [](const std::optional<Json>& value, NSJSONWritingOptions options, const std::string& words) {
    try {
      (void)NSJSONSerialization::dataWithJSONObject(value, options, nullptr);
      ADD_FAILURE() << "written: " << words;
    } catch (const NSException& exception) {
      EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
      EXPECT_NE(exception.reason().find(words), std::string::npos) << exception.reason();
    }
  };
  expectRaises(std::nullopt, 0, "nil");
  expectRaises(Json{{"amount", std::numeric_limits<double>::quiet_NaN()}}, 0, "NaN");
  expectRaises(Json::array({-std::numeric_limits<double>::infinity()}), 0, "infinite");
  expectRaises(Json("fragment"), 0, "top-level");
  expectRaises(Json{{"name", "\xFF"}}, 0, "UTF-8");
  expectRaises(Json{{"\xFF", 1}}, 0, "UTF-8");
  Json deep = Json::array();
  for (int level = 0; level < 600; ++level) deep = Json::array({std::move(deep)});
  expectRaises(deep, 0, "deeper");

  EXPECT_EQ(NSJSONSerialization::dataWithJSONObject(Json("fragment"), NSJSONWritingFragmentsAllowed, nullptr),
            "\"fragment\"");
  EXPECT_TRUE(NSJSONSerialization::isValidJSONObject(Json::object()));
  EXPECT_FALSE(NSJSONSerialization::isValidJSONObject(Json(1)));
  EXPECT_FALSE(NSJSONSerialization::isValidJSONObject(Json::array({std::numeric_limits<double>::quiet_NaN()})));
}

// An error as text: domain, code and every user-info entry, so two errors compare whole.
std::string describe(const std::shared_ptr<NSError>& error) {
  if (!error) return "no error";
  std::string text = error->domain() + " " + std::to_string(error->code());
  for (const auto& [key, value] : error->userInfo()) {
    text += "\n" + key + ": ";
    if (const auto* words = std::get_if<std::string>(&value)) text += *words;
    else if (const auto* number = std::get_if<long long>(&value)) text += std::to_string(*number);
    else text += "(another value)";
  }
  return text;
}

struct MembersByKey final : JSONMemberSink {
  void member(std::string_view key, Json&& value) override { members[std::string(key)] = std::move(value); }
  Json members = Json::object();
};

TEST(NSJSONSerializationReading, AMemberReaderGetsTheSameValuesAndTheSameErrorsInEveryEncoding) {
  const std::vector<std::string> texts = {
      R"({"name":"Zoë 日本 😀","n":[1,{"a":null}],"name":"again"})", "{}", "[1]", "\"fragment\"", "7",
      R"({"a": 1,)" "\n" R"( "b": tru})", R"({"a":[1,]})", "{\"a\":\"\xFF\"}", std::string(513, '[')};
  for (auto encoding : {NSUTF8StringEncoding, NSUnicodeStringEncoding, NSUTF16LittleEndianStringEncoding,
                        NSUTF32BigEndianStringEncoding}) {
    for (const auto& text : texts) {
      auto data = dataUsingEncoding(text, encoding);
      if (!data) data = text;  // bytes no encoding holds: read as they are
      for (auto options : {NSJSONReadingOptions{0}, NSJSONReadingAllowFragments}) {
        std::shared_ptr<NSError> wholeError;
        const auto whole = read(*data, options, &wholeError);
        std::shared_ptr<NSError> memberError;
        MembersByKey sink;
        auto members = NSJSONSerialization::JSONObjectWithData(*data, options, &memberError, sink);
        if (members && members->is_object()) {
          EXPECT_TRUE(members->empty());
          members = sink.members;
        }
        EXPECT_EQ(members, whole) << encoding << " " << text;
        EXPECT_EQ(describe(memberError), describe(wholeError)) << encoding << " " << text;
      }
    }
  }
  MembersByKey sink;
  EXPECT_THROW((void)NSJSONSerialization::JSONObjectWithData(std::nullopt, 0, nullptr, sink), NSException);
}

// What dataWithJSONObject does with an object: its bytes, or the exception it raises.
std::string writtenOrRaised(const Json& object) {
  try {
    return *NSJSONSerialization::dataWithJSONObject(object, 0, nullptr);
  } catch (const NSException& exception) {
    return "raised " + exception.name() + ": " + exception.reason();
  }
}

std::string writtenOrRaised(const std::vector<NSJSONTextMember>& members) {
  try {
    return NSJSONSerialization::dataWithTextMembers(members);
  } catch (const NSException& exception) {
    return "raised " + exception.name() + ": " + exception.reason();
  }
}

TEST(NSJSONSerializationWriting, WritesTextMembersByteForByteAsTheObjectTheyMake) {
  std::mt19937 random(20261208);
  // Every byte that JSON escapes, quotes, slashes, UTF-8 of each length, and bytes that are no UTF-8.
  std::string alphabet = "a/\"\\\x7f\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xc0\xed\xa0\xff";
  for (char c = 0; c < 0x20; ++c) alphabet += c;
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 6);
  const auto text = [&] {
    std::string out;
    for (int i = length(random); i > 0; --i) out += alphabet[pick(random)];
    return out;
  };
  int written = 0;
  for (int round = 0; round < 3000; ++round) {
    std::map<std::string, std::optional<std::string>> fields;  // in the order an object keeps its keys
    for (int i = length(random); i > 0; --i) {
      auto key = round % 3 == 0 ? text() : std::string(1, static_cast<char>('a' + i));
      fields[key] = i % 3 == 0 ? std::nullopt : std::optional<std::string>(text());
    }
    Json object = Json::object();
    std::vector<NSJSONTextMember> members;
    for (const auto& [key, value] : fields) {
      object[key] = value ? Json(*value) : Json(nullptr);
      members.push_back({key, value ? &*value : nullptr});
    }
    const auto expected = writtenOrRaised(object);
    ASSERT_EQ(writtenOrRaised(members), expected) << round;
    written += expected.starts_with("raised") ? 0 : 1;
  }
  EXPECT_GT(written, 300) << "enough rounds are written, not raised, for the bytes to be compared";

  EXPECT_EQ(NSJSONSerialization::dataWithTextMembers({}), "{}");
  const std::string longText = std::string(1 << 20, 'x') + "\"\n" + std::string(1 << 20, '\x01') + "é";
  const std::string empty;
  const std::vector<NSJSONTextMember> members = {{"a", &longText}, {"b", &empty}, {"c", nullptr}};
  EXPECT_EQ(writtenOrRaised(members), writtenOrRaised(Json{{"a", longText}, {"b", ""}, {"c", nullptr}}));
}

}  // namespace
