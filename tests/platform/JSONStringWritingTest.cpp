#include <velquor/platform/JSONStringWriting.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <random>

using velquor::platform::appendJSONString;

namespace {

// What the document library writes for `text`, or nothing when it refuses it.
std::optional<std::string> libraryWrites(const std::string& text) {
  try {
    return nlohmann::json(text).dump();
  } catch (const nlohmann::json::type_error&) {
    return std::nullopt;
  }
}

void expectSameAsLibrary(const std::string& text) {
  std::string out = "x";
  const auto refused = appendJSONString(out, text);
  const auto expected = libraryWrites(text);
  if (expected) {
    EXPECT_FALSE(refused.has_value());
    EXPECT_EQ(out, "x" + *expected);
  } else {
    EXPECT_TRUE(refused.has_value());
    EXPECT_EQ(out, "x") << "nothing is appended for refused text";
  }
}

TEST(JSONStringWriting, EscapesEveryControlCharacterQuoteAndBackslashAsTheLibraryDoes) {
  std::string all;
  for (int c = 0; c < 0x80; ++c) all += static_cast<char>(c);
  expectSameAsLibrary(all);
  expectSameAsLibrary("");
  expectSameAsLibrary("Zoë 日本 \xF0\x9F\x98\x80 \x7f");
}

TEST(JSONStringWriting, RefusesExactlyTheTextsTheLibraryRefuses) {
  for (const std::string& text : {std::string("\xc0\xaf"), std::string("\xed\xa0\x80"), std::string("\xf4\x90\x80\x80"),
                                  std::string("\xe2\x82"), std::string("ok\xff"), std::string("\xf0\x9f\x98")}) {
    expectSameAsLibrary(text);
  }
  std::string out;
  EXPECT_EQ(appendJSONString(out, "abc\xff"), 3u);
}

TEST(JSONStringWriting, AgreesWithTheLibraryOnRandomBytes) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> length(0, 12);
  // Mostly bytes that start or continue UTF-8 sequences, so that many texts are valid.
  const std::string alphabet = "a\"\\\n\x01\x7f\xc2\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xed\xa0\xc0\xff\xf4\x8f\xbf";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) text += alphabet[pick(random)];
    expectSameAsLibrary(text);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "for " << nlohmann::json(text).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
      return;
    }
  }
}

}  // namespace
