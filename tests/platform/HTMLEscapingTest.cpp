#include <velquor/platform/HTMLEscaping.h>

#include <gtest/gtest.h>

#include <string>

using namespace velquor::platform;

namespace {

std::string reference(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

TEST(HTMLEscaping, EscapesExactlyTheFourAttributeCharactersAtEveryPositionOfAChunk) {
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (char special : {'&', '"', '<', '>'}) {
        std::string text(length, 'x');
        text[at] = special;
        if (length > 3) text[length - 1] = '\'';
        std::string out = "prefix:";
        appendEscapedHTMLAttribute(out, text);
        ASSERT_EQ(out, "prefix:" + reference(text)) << length << " " << at;
        ASSERT_EQ(escapedHTMLAttributeLength(text), reference(text).size());
      }
    }
  }
}

// Short texts are read in overlapping windows: a special character already handled must not be
// found again in the next window, and none may be skipped between two.
TEST(HTMLEscaping, EscapesEveryPairOfSpecialsWhateverTheWindowsTheyFallIn) {
  for (std::size_t length = 2; length <= 40; ++length) {
    for (std::size_t first = 0; first < length; ++first) {
      for (std::size_t second = first + 1; second < length; ++second) {
        std::string text(length, 'x');
        text[first] = '&';
        text[second] = '<';
        std::string out;
        appendEscapedHTMLAttribute(out, text);
        ASSERT_EQ(out, reference(text)) << length << " " << first << " " << second;
        ASSERT_EQ(escapedHTMLAttributeLength(text), reference(text).size()) << length << " " << first << " " << second;
      }
    }
  }
}

TEST(HTMLEscaping, KeepsEveryOtherByteIncludingNulAndNonASCII) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::string out;
  appendEscapedHTMLAttribute(out, all + all);
  EXPECT_EQ(out, reference(all + all));
  out.clear();
  appendEscapedHTMLAttribute(out, "");
  EXPECT_EQ(out, "");
}

}  // namespace
