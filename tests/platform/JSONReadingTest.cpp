#include <velquor/platform/JSONReading.h>

#include <gtest/gtest.h>

#include <string>

using velquor::platform::JSONReadingError;
using velquor::platform::readJSON;

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

}  // namespace
