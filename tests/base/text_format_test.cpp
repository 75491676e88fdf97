#include <gtest/gtest.h>

#include "base/format.h"
#include "base/system_message.h"
#include "base/text.h"

namespace mirdane {
namespace {

TEST(FormatText, FormatsTheConversionsOfTheSystemsMessages) {
  EXPECT_EQ(FormatText(u"Error Updating %s: %s", {u"UAGYCPP", u"why"}), u"Error Updating UAGYCPP: why");
  EXPECT_EQ(FormatText(u"%02d%02d%02d%02d%02d%02d%03d", {26, 3, 5, 7, 4, 9, 45}), u"260305070409045");
  EXPECT_EQ(FormatText(u"(Error Code: 0x%08lx)", {0x80004005ul}), u"(Error Code: 0x80004005)");
  EXPECT_EQ(FormatText(u"(Error Code: 0x%08lx)", {0}), u"(Error Code: 0x00000000)");
  EXPECT_EQ(FormatText(u"Unknown error 0x%0lX", {0x800A0E7Dul}), u"Unknown error 0x800A0E7D");
  EXPECT_EQ(FormatText(u"record %d of %d", {-2, 3}), u"record -2 of 3");
  EXPECT_EQ(FormatText(u"%5d|%-3s|%%", {42, u"a"}), u"   42|a  |%");
}

TEST(FormatText, MissingOrMismatchedArgumentsDoNotCrash) {
  EXPECT_EQ(FormatText(u"%s and %d", {}), u" and 0");
  EXPECT_EQ(FormatText(u"%d", {u"text"}), u"0");
  EXPECT_EQ(FormatText(u"trailing %", {}), u"trailing ");
  const char16_t* null_text = nullptr;
  EXPECT_EQ(FormatText(u"[%s]", {null_text}), u"[]");
}

TEST(Text, Utf8AndUtf16RoundTripIncludingPairsAndRepairBrokenInput) {
  const std::u16string text = u"Gr\u00fc\u00dfe \u20ac \U0001F600";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("\xff" "a"), u"\uFFFDa");
  EXPECT_EQ(Utf8ToUtf16("\xe2\x82"), u"\uFFFD");       // cut short
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xef\xbf\xbd");
}

TEST(Text, AReusedUtf8BufferHoldsOnlyTheLatestText) {
  std::string buffer;
  AssignUtf8(u"ab\u00fc\U0001F600 long enough to leave storage behind", &buffer);
  EXPECT_EQ(buffer, "ab\xc3\xbc\xf0\x9f\x98\x80 long enough to leave storage behind");
  AssignUtf8(u"xy", &buffer);
  EXPECT_EQ(buffer, "xy");
  AssignUtf8(u"Stra\u00dfe \xDC00", &buffer);  // the ASCII run, then the rest, repaired
  EXPECT_EQ(buffer, "Stra\xc3\x9f" "e \xef\xbf\xbd");
  AssignUtf8(u"", &buffer);
  EXPECT_EQ(buffer, "");
}

TEST(Text, CountsAndCutsWithoutSplittingSurrogatePairs) {
  const std::u16string text = u"ab\U0001F600c";
  EXPECT_EQ(CodePointCount(text), 4u);
  EXPECT_EQ(PrefixWithoutSplitPair(text, 3), u"ab");
  EXPECT_EQ(PrefixWithoutSplitPair(text, 4), u"ab\U0001F600");
  EXPECT_EQ(PrefixWithoutSplitPair(text, 10), text);
  EXPECT_EQ(TrimBlanks(u"  12.50 "), u"12.50");
  EXPECT_TRUE(EqualsIgnoringAsciiCase(u"Data Source", u"data source"));
}

TEST(HresultText, SystemTextWithoutTrailingLineBreakThenTheFallbacks) {
  EXPECT_EQ(HresultText(hr::kFail), u"Unspecified error");
  EXPECT_EQ(HresultText(hr::kInvalidArg), u"The parameter is incorrect.");
  // The range automation reserves for dispatch errors.
  EXPECT_EQ(HresultText(hr::FromBits(0x80040E21)), u"IDispatch error #3105");
  EXPECT_EQ(HresultText(hr::FromBits(0x80040201)), u"IDispatch error #1");
  EXPECT_EQ(HresultText(hr::FromBits(0x80040200)), u"Unknown error 0x80040200");
  EXPECT_EQ(HresultText(hr::FromBits(0x800A0E7D)), u"Unknown error 0x800A0E7D");
}

}  // namespace
}  // namespace mirdane
