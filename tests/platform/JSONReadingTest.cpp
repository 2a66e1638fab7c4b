#include <velquor/platform/JSONReading.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

using velquor::platform::JSONMemberSink;
using velquor::platform::JSONReadingError;
using velquor::platform::readJSON;
using Json = nlohmann::json;

namespace {

std::string nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(JSONReading, AcceptsNestingUpToTheLimitAndRefusesOneLevelMore) {
  EXPECT_NO_THROW(readJSON(nested(512)));
  try {
    readJSON(nested(513));
    FAIL() << "513 levels were accepted";
  } catch (const JSONReadingError& error) {
    EXPECT_EQ(error.byteOffset(), 512u);
    EXPECT_NE(std::string(error.what()).find("512"), std::string::npos);
  }
}

TEST(JSONReading, RefusesAHundredThousandLevelsWithoutExhaustingTheStack) {
  EXPECT_THROW(readJSON(nested(100'000)), JSONReadingError);
  EXPECT_THROW(readJSON(std::string(100'000, '{')), JSONReadingError);
  // Brackets inside strings do not count as nesting.
  EXPECT_NO_THROW(readJSON("\"" + std::string(100'000, '[') + "\""));
}

TEST(JSONReading, RefusesTextThatIsNotUTF8OrHasLoneSurrogates) {
  EXPECT_THROW(readJSON("\"\xff\""), JSONReadingError);
  EXPECT_THROW(readJSON("\"\xc3\""), JSONReadingError);
  EXPECT_THROW(readJSON(R"("\ud800")"), JSONReadingError);
  EXPECT_THROW(readJSON(R"("\udc00x")"), JSONReadingError);
  EXPECT_EQ(readJSON(R"("\ud83d\ude00")").get<std::string>(), "\xF0\x9F\x98\x80");
}

TEST(JSONReading, KeepsNulBytesThatAreEscapedAndTellsWhereMalformedInputStops) {
  EXPECT_EQ(readJSON(R"("a\u0000b")").get<std::string>(), std::string("a\0b", 3));
  EXPECT_THROW(readJSON(std::string("\"a\0b\"", 5)), JSONReadingError);
  try {
    readJSON(R"({"a": tru})");
    FAIL();
  } catch (const JSONReadingError& error) {
    EXPECT_EQ(error.byteOffset(), 9u);
  }
  EXPECT_THROW(readJSON(""), JSONReadingError);
  EXPECT_THROW(readJSON("{} {}"), JSONReadingError);
}

// A reader of members: it sets each by key, so a repeated key leaves its last value, as in a document.
struct MembersByKey final : JSONMemberSink {
  void member(std::string_view key, Json&& value) override {
    members[std::string(key)] = std::move(value);
    ++count;
  }
  Json members = Json::object();
  std::size_t count = 0;
};

// The document a reader ends up with, or its error's words and offset.
struct Reading {
  std::optional<Json> document;
  std::string error;
  std::size_t offset = 0;
};

Reading wholeReading(const std::string& text) {
  Reading reading;
  try {
    reading.document = readJSON(text);
  } catch (const JSONReadingError& error) {
    reading.error = error.what();
    reading.offset = error.byteOffset();
  }
  return reading;
}

// A top-level object comes back empty, its members having gone to the reader; anything else whole.
Reading memberReading(const std::string& text) {
  Reading reading;
  MembersByKey sink;
  try {
    auto result = readJSON(text, sink);
    if (result.is_object()) {
      EXPECT_TRUE(result.empty()) << text;
      reading.document = std::move(sink.members);
    } else {
      EXPECT_EQ(sink.count, 0u) << text;
      reading.document = std::move(result);
    }
  } catch (const JSONReadingError& error) {
    reading.error = error.what();
    reading.offset = error.byteOffset();
  }
  return reading;
}

void expectSameReading(const std::string& text) {
  const auto whole = wholeReading(text);
  const auto members = memberReading(text);
  EXPECT_EQ(members.document, whole.document) << text;
  EXPECT_EQ(members.error, whole.error) << text;
  EXPECT_EQ(members.offset, whole.offset) << text;
}

TEST(JSONReadingMembers, GiveWhatTheWholeDocumentHoldsAndAreRefusedWhatItIsRefusedWithTheSameError) {
  const std::vector<std::string> texts = {
      "{}", R"( { "a" : [ ] } )", R"({"a":{"b":[1,{"c":[]},"d"],"e":{}},"f":[[],[[]]],"g":"h"})",
      R"({"a":"first","b":[1],"a":null,"b":{"c":2}})",
      R"({"\u0061\u005fkey":"an escaped key","":"empty key","x\"y":1})",
      R"({"i":-9223372036854775808,"u":18446744073709551615,"f":1.5e3,"z":-0,"t":true,"n":null})",
      R"({"text":"Zoë \ud83d\ude00 \u0000 \n"})", "[]", R"([{"a":1},2])", R"("text")", "42", "null", "false",
      // Refused: in a member's container, between members, after the object, before anything.
      R"({"a":1,})", R"({"a":[1,}]})", R"({"a":{"b":}})", R"({"a":1} x)", R"({"a":1}{})", R"({"a" 1})", "{", "", "[1,]",
      "{\"a\":\"\xff\"}", R"({"a":tru})", R"({"a":"\ud800"})", "{\"\xc3\":1}"};
  for (const auto& text : texts) expectSameReading(text);
}

TEST(JSONReadingMembers, CountTheTopLevelObjectAsALevelOfNesting) {
  const auto inMember = [](std::size_t depth) { return "{\"a\":" + nested(depth) + "}"; };
  expectSameReading(inMember(511));
  EXPECT_TRUE(memberReading(inMember(511)).error.empty());
  expectSameReading(inMember(512));
  EXPECT_NE(memberReading(inMember(512)).error.find("512"), std::string::npos);
  expectSameReading(inMember(100'000));
  expectSameReading("{\"a\":{\"b\":" + std::string(100'000, '{'));
  expectSameReading(nested(513));
}

// A random value a few levels deep: objects with repeated keys among few names, arrays, scalars.
Json randomValue(std::mt19937& random, int depth) {
  const auto roll = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
  switch (depth > 0 ? roll(7) : 2 + roll(5)) {
    case 0: {
      Json object = Json::object();
      for (int i = roll(4); i > 0; --i) {
        object[std::string(1, static_cast<char>('a' + roll(3)))] = randomValue(random, depth - 1);
      }
      return object;
    }
    case 1: {
      Json array = Json::array();
      for (int i = roll(4); i > 0; --i) array.push_back(randomValue(random, depth - 1));
      return array;
    }
    case 2: return roll(2) == 0 ? Json("Zoë \"q\" \n") : Json("");
    case 3: return roll(2) == 0 ? Json(-7) : Json(2.5);
    case 4: return Json(nullptr);
    case 5: return Json(roll(2) == 0);
    default: return Json(18446744073709551615u);
  }
}

TEST(JSONReadingMembers, AgreeWithTheWholeReadingOnRandomDocumentsAndTheirMisspellings) {
  std::mt19937 random(20261208);
  const std::vector<std::string> misspellings = {"{", "}", "[", "]", ",", ":", "\"", "x", " ", "\xff"};
  for (int round = 0; round < 5000; ++round) {
    std::string text = randomValue(random, 4).dump();
    // Half the time a repeated key, so that the last one must stand; half the time a fault.
    if (round % 4 == 1 && text.size() > 2 && text.front() == '{') text.insert(1, "\"a\":{\"z\":[1]},");
    if (round % 2 == 0 && !text.empty()) {
      const auto at = std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(random);
      if (round % 4 == 0) text.resize(at);
      else text.insert(at, misspellings[static_cast<std::size_t>(round / 4) % misspellings.size()]);
    }
    expectSameReading(text);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
