#include "FormBody.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

using velquor::sandbox::FormFields;
using velquor::sandbox::lastValue;
using velquor::sandbox::parseFormBody;

namespace {

using namespace std::string_literals;

FormFields fields(std::initializer_list<std::pair<std::string, std::string>> pairs) { return FormFields(pairs); }

// The encoding a browser uses for a form post: unreserved bytes stay, space is '+', the rest %XX.
std::string encode(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '*' || c == '-' || c == '.' || c == '_') {
      out.push_back(c);
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return out;
}

TEST(FormBodyParsing, KeepsPairsInPostedOrderWithRepeatedNames) {
  EXPECT_EQ(parseFormBody("b=2&a=1&b=3"), fields({{"b", "2"}, {"a", "1"}, {"b", "3"}}));
  EXPECT_EQ(parseFormBody(""), FormFields());
}

TEST(FormBodyParsing, DecodesPlusAsSpaceAndPercentEscapesInNamesAndValues) {
  EXPECT_EQ(parseFormBody("full+name=J+Doe&sum=1%2B1%3D2"), fields({{"full name", "J Doe"}, {"sum", "1+1=2"}}));
  EXPECT_EQ(parseFormBody("%61%62=%4a%4B&amp=%26%3D%25"), fields({{"ab", "JK"}, {"amp", "&=%"}}));
  // A decoded '&' or '=' is data, never a separator.
  EXPECT_EQ(parseFormBody("q=%26x%3Dy"), fields({{"q", "&x=y"}}));
}

TEST(FormBodyParsing, KeepsMalformedPercentEscapesLiterally) {
  EXPECT_EQ(parseFormBody("a=%"), fields({{"a", "%"}}));
  EXPECT_EQ(parseFormBody("a=%4"), fields({{"a", "%4"}}));
  EXPECT_EQ(parseFormBody("a=%G1&b=%1G"), fields({{"a", "%G1"}, {"b", "%1G"}}));
  EXPECT_EQ(parseFormBody("a=%%41"), fields({{"a", "%A"}}));
  EXPECT_EQ(parseFormBody("a=100%&b=%+1"), fields({{"a", "100%"}, {"b", "% 1"}}));
  EXPECT_EQ(parseFormBody("%=%"), fields({{"%", "%"}}));
}

TEST(FormBodyParsing, HandlesEmptyNamesValuesAndPieces) {
  EXPECT_EQ(parseFormBody("&&a=1&&"), fields({{"a", "1"}}));
  EXPECT_EQ(parseFormBody("a=&b"), fields({{"a", ""}, {"b", ""}}));
  EXPECT_EQ(parseFormBody("=x&="), fields({{"", "x"}, {"", ""}}));
  EXPECT_EQ(parseFormBody("a=b=c"), fields({{"a", "b=c"}}));
  EXPECT_EQ(parseFormBody("&"), FormFields());
}

TEST(FormBodyParsing, KeepsNulAndNonAsciiBytesExactly) {
  EXPECT_EQ(parseFormBody("a=%00b&c%00=d"), fields({{"a", "\0b"s}, {"c\0"s, "d"}}));
  EXPECT_EQ(parseFormBody("a\0=\0b"s), fields({{"a\0"s, "\0b"s}}));
  EXPECT_EQ(parseFormBody("name=J%C3%BCrgen&city=M\xC3\xBCnchen"),
            fields({{"name", "J\xC3\xBCrgen"}, {"city", "M\xC3\xBCnchen"}}));
  // Bytes that are not UTF-8 are not replaced: the caller sees what was posted.
  EXPECT_EQ(parseFormBody("a=%FF%C3&\xFE=1"), fields({{"a", "\xFF\xC3"}, {"\xFE", "1"}}));
}

TEST(FormBodyParsing, GivesBackEveryPairABrowserEncoded) {
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 12);
  for (int round = 0; round < 500; ++round) {
    FormFields expected;
    std::string body;
    const int count = length(random);
    for (int i = 0; i < count; ++i) {
      std::string name(static_cast<std::size_t>(length(random)) + 1, '\0');
      std::string value(static_cast<std::size_t>(length(random)), '\0');
      for (auto& c : name) c = static_cast<char>(byte(random));
      for (auto& c : value) c = static_cast<char>(byte(random));
      if (!body.empty()) body.push_back('&');
      body += encode(name) + '=' + encode(value);
      expected.emplace_back(name, value);
    }
    ASSERT_EQ(parseFormBody(body), expected) << body;
  }
}

TEST(FormBodyParsing, AcceptsArbitraryBytesAndNeverGivesMorePairsThanPieces) {
  std::mt19937 random(7);
  const std::string alphabet("%&=+0aF\xFF\0"s);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 64);
  for (int round = 0; round < 5000; ++round) {
    std::string body(static_cast<std::size_t>(length(random)), '\0');
    for (auto& c : body) c = alphabet[pick(random)];
    const auto parsed = parseFormBody(body);
    const auto pieces = static_cast<std::size_t>(std::count(body.begin(), body.end(), '&')) + 1;
    ASSERT_LE(parsed.size(), pieces) << body;
    std::size_t decodedBytes = 0;
    for (const auto& [name, value] : parsed) decodedBytes += name.size() + value.size();
    ASSERT_LE(decodedBytes, body.size()) << body;
  }
}

TEST(FormBodyParsing, LastValueFindsTheLastPairOfANameOrNothing) {
  const auto parsed = parseFormBody("a=1&b=2&a=3&e=");
  ASSERT_NE(lastValue(parsed, "a"), nullptr);
  EXPECT_EQ(*lastValue(parsed, "a"), "3");
  ASSERT_NE(lastValue(parsed, "e"), nullptr);
  EXPECT_EQ(*lastValue(parsed, "e"), "");
  EXPECT_EQ(lastValue(parsed, "A"), nullptr);
  EXPECT_EQ(lastValue(FormFields(), "a"), nullptr);
}

}  // namespace
