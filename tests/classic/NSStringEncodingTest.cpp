#include <velquor/platform/NSStringEncoding.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velquor::platform;

namespace {

struct Sample {
  NSStringEncoding encoding;
  std::string text;  // what the encoding can hold, beyond ASCII where it can
};

const std::vector<Sample> kSamples = {
    {NSASCIIStringEncoding, "plain {\"ascii\": 1}"},
    {NSJapaneseEUCStringEncoding, "日本語 ok"},
    {NSUTF8StringEncoding, "Zoë 日本 😀"},
    {NSISOLatin1StringEncoding, "Zoë Ærø"},
    {NSShiftJISStringEncoding, "日本語 ok"},
    {NSISOLatin2StringEncoding, "Łódź Žižkov"},
    {NSUnicodeStringEncoding, "Zoë 日本 😀"},
    {NSWindowsCP1251StringEncoding, "Жжж ok"},
    {NSWindowsCP1252StringEncoding, "Zoë € œ"},
    {NSWindowsCP1253StringEncoding, "Ωμέγα"},
    {NSWindowsCP1254StringEncoding, "İstanbul ğ"},
    {NSWindowsCP1250StringEncoding, "Łódź ř"},
    {NSISO2022JPStringEncoding, "日本語 ok"},
    {NSMacOSRomanStringEncoding, "Zoë π"},
    {NSUTF16BigEndianStringEncoding, "Zoë 日本 😀"},
    {NSUTF16LittleEndianStringEncoding, "Zoë 日本 😀"},
    {NSUTF32StringEncoding, "Zoë 日本 😀"},
    {NSUTF32BigEndianStringEncoding, "Zoë 日本 😀"},
    {NSUTF32LittleEndianStringEncoding, "Zoë 日本 😀"},
};

TEST(NSStringEncoding, EveryListedEncodingRoundTripsATextItCanHold) {
  for (const auto& [encoding, text] : kSamples) {
    EXPECT_TRUE(isSupportedStringEncoding(encoding)) << encoding;
    const auto data = dataUsingEncoding(text, encoding);
    ASSERT_TRUE(data.has_value()) << encoding;
    EXPECT_EQ(stringWithData(*data, encoding), text) << encoding;
  }
}

TEST(NSStringEncoding, WritesTheBytesOfEachEncodingAndAMarkOnlyWhereTheEncodingCarriesOne) {
  EXPECT_EQ(dataUsingEncoding("é", NSISOLatin1StringEncoding), std::string("\xE9"));
  EXPECT_EQ(dataUsingEncoding("é", NSMacOSRomanStringEncoding), std::string("\x8E"));
  EXPECT_EQ(dataUsingEncoding("日", NSShiftJISStringEncoding), std::string("\x93\xFA"));
  EXPECT_EQ(dataUsingEncoding("日", NSJapaneseEUCStringEncoding), std::string("\xC6\xFC"));
  EXPECT_EQ(dataUsingEncoding("A", NSUnicodeStringEncoding), std::string("\xFF\xFE\x41\x00", 4));
  EXPECT_EQ(dataUsingEncoding("A", NSUTF16BigEndianStringEncoding), std::string("\x00\x41", 2));
  EXPECT_EQ(dataUsingEncoding("A", NSUTF16LittleEndianStringEncoding), std::string("\x41\x00", 2));
  EXPECT_EQ(dataUsingEncoding("A", NSUTF32StringEncoding), std::string("\xFF\xFE\x00\x00\x41\x00\x00\x00", 8));
  EXPECT_EQ(dataUsingEncoding("A", NSUTF32BigEndianStringEncoding), std::string("\x00\x00\x00\x41", 4));
  EXPECT_EQ(dataUsingEncoding("", NSUTF8StringEncoding), std::string());
  // A stateful encoding ends in its initial state.
  EXPECT_EQ(dataUsingEncoding("日", NSISO2022JPStringEncoding), std::string("\x1B$BF|\x1B(B"));
}

TEST(NSStringEncoding, GivesNoDataForATextTheEncodingCannotHoldWithoutLoss) {
  EXPECT_FALSE(dataUsingEncoding("é", NSASCIIStringEncoding).has_value());
  EXPECT_FALSE(dataUsingEncoding("€", NSISOLatin1StringEncoding).has_value());
  EXPECT_FALSE(dataUsingEncoding("日本", NSWindowsCP1252StringEncoding).has_value());
  EXPECT_FALSE(dataUsingEncoding("Ж", NSISOLatin2StringEncoding).has_value());
  EXPECT_FALSE(dataUsingEncoding("\xFF not UTF-8", NSUTF8StringEncoding).has_value());
  EXPECT_FALSE(dataUsingEncoding("\xED\xA0\x80", NSUTF16LittleEndianStringEncoding).has_value()) << "a lone surrogate";
}

TEST(NSStringEncoding, AnUnknownIdentifierBehavesLikeALossyConversion) {
  for (NSStringEncoding unknown : {NSStringEncoding{0}, NSStringEncoding{2}, NSStringEncoding{7}, NSStringEncoding{999}}) {
    EXPECT_FALSE(isSupportedStringEncoding(unknown));
    EXPECT_FALSE(dataUsingEncoding("abc", unknown).has_value());
    EXPECT_FALSE(stringWithData("abc", unknown).has_value());
  }
}

TEST(NSStringEncoding, ReadingRefusesBytesThatAreNotValidAndSaysWhere) {
  std::size_t at = 0;
  EXPECT_FALSE(stringWithData("abc\x80", NSASCIIStringEncoding, &at).has_value());
  EXPECT_EQ(at, 3u);
  EXPECT_FALSE(stringWithData("ok\xC3", NSUTF8StringEncoding, &at).has_value()) << "cut short";
  EXPECT_EQ(at, 2u);
  EXPECT_FALSE(stringWithData(std::string("A\x00\x00\xD8", 4), NSUTF16LittleEndianStringEncoding, &at).has_value());
  EXPECT_EQ(at, 2u);
  EXPECT_FALSE(stringWithData(std::string("\x00\x00\x11\x00", 4), NSUTF32LittleEndianStringEncoding).has_value())
      << "beyond U+10FFFF";
  EXPECT_EQ(stringWithData("\xE9", NSISOLatin1StringEncoding), "é");
  EXPECT_EQ(stringWithData(std::string("\xFE\xFF\x00\x41", 4), NSUnicodeStringEncoding), "A") << "the mark gives the order";
}

}  // namespace
