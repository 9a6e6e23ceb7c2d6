#include "text/encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Kelvo {
namespace {

const std::uint8_t* bytesOf(std::string_view text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }
std::uint32_t sizeOf(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }

TEST(Encoding, DetectsSignaturesInTheirFixedOrder) {
  struct Case {
    const char* name;
    std::string_view text;
    std::uint32_t length;     // the bytes detection may look at
    std::uint32_t signature;  // expected length, 0 for none
    const char* encoding;     // expected name; "keep" when none is assigned
  };
  const Case cases[] = {
      {"Utf32Be", {"\x00\x00\xFE\xFF\x00\x00\x00\x41", 8}, 8, 4, "UTF32-BE"},
      // Tested before UTF-16 LE, so a leading U+0000 makes it UTF-32.
      {"Utf32LeBeforeUtf16Le", {"\xFF\xFE\x00\x00\x41\x00", 6}, 6, 4, "UTF32-LE"},
      {"Utf16Be", {"\xFE\xFF\x00\x41", 4}, 4, 2, "UTF16-BE"},
      {"Utf16Le", {"\xFF\xFE\x41\x00", 4}, 4, 2, "UTF16-LE"},
      {"Utf8",
       "\xEF\xBB\xBF"
       "a",
       4, 3, "UTF8"},
      {"Utf7With38", "+/v8-", 5, 4, "UTF7"},
      {"Utf7With39", "+/v9", 4, 4, "UTF7"},
      {"Utf7WithPlus", "+/v+", 4, 4, "UTF7"},
      {"Utf7WithSlash", "+/v/", 4, 4, "UTF7"},
      {"Utf7OtherFourthByte", "+/vA", 4, 0, "keep"},
      {"Scsu", "\x0E\xFE\xFF", 3, 3, "SCSU"},
      {"Bocu1", "\xFB\xEE\x28", 3, 3, "BOCU-1"},
      {"Gb18030",
       "\x84\x31\x95\x33"
       "a",
       5, 4, "GB-18030"},
      {"SingleByte", "\xFF", 1, 0, "keep"},
      {"Plain", "abc", 3, 0, "keep"},
      {"Empty", "", 0, 0, "keep"},
      // Bytes past the given length never take part.
      {"Utf8CutByLength", "\xEF\xBB\xBF", 2, 0, "keep"},
      {"Utf32LeCutByLengthIsUtf16Le", {"\xFF\xFE\x00\x00", 4}, 3, 2, "UTF16-LE"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    String<char> name = String<char>::fromView("keep");
    EXPECT_EQ(detectSignature(bytesOf(row.text), row.length, name), row.signature);
    EXPECT_EQ(name.toStdString(), row.encoding);
  }
}

TEST(Encoding, ConvertsRealCodePagesToUtf8) {
  struct Case {
    const char* name;
    const char* encoding;
    std::string_view text;
    std::string_view utf8;
  };
  const Case cases[] = {
      {"Windows1251", "windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"Windows1252", "windows-1252", "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"Utf16Le", "UTF-16LE", {"A\x00\x3F\x04\x3D\xD8\x00\xDE", 8}, "A\xD0\xBF\xF0\x9F\x98\x80"},
      {"Utf16Be",
       "UTF-16BE",
       {"\x00"
        "A\x04\x3F",
        4},
       "A\xD0\xBF"},
      // Zero bytes are kept in the result.
      {"ZeroBytesKept",
       "windows-1252",
       {"a\x00"
        "b",
        3},
       {"a\x00"
        "b",
        3}},
      {"Utf8Unchanged", "UTF8", "h\xC3\xA9llo", "h\xC3\xA9llo"},
      // Illegal input gets the converter's substitution.
      {"IllegalUtf8Substituted", "UTF8",
       "a\xFF"
       "b",
       "a\xEF\xBF\xBD"
       "b"},
      {"RefusedName", "no-such-code-page", "abc", ""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(convertToUtf8(row.encoding, bytesOf(row.text), sizeOf(row.text)), row.utf8);
    // The form that writes a String gives the same bytes, or fails where the other is empty.
    String<unsigned char> converted = String<unsigned char>::fromView("keep");
    EXPECT_EQ(convertToUtf8(row.encoding, bytesOf(row.text), sizeOf(row.text), &converted), !row.utf8.empty());
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(converted.chars), converted.length),
              row.utf8.empty() ? "keep" : row.utf8);
  }
  EXPECT_EQ(convertToUtf8(nullptr, bytesOf("abc"), 3), "");
  EXPECT_EQ(convertToUtf8("UTF8", nullptr, 3), "");
  EXPECT_EQ(convertToUtf8("UTF8", bytesOf("abc"), 0), "");
  String<unsigned char> kept = String<unsigned char>::fromView("keep");
  EXPECT_FALSE(convertToUtf8(nullptr, bytesOf("abc"), 3, &kept));
  EXPECT_FALSE(convertToUtf8("UTF8", nullptr, 3, &kept));
  EXPECT_FALSE(convertToUtf8("UTF8", bytesOf("abc"), 0, &kept));
  EXPECT_EQ(kept.toStdString(), "keep");
  EXPECT_FALSE(convertToUtf8("UTF8", bytesOf("abc"), 3, nullptr));
}

// Records the size of every block it hands out.
class RecordingAllocator final : public StandardAllocator<unsigned char> {
 public:
  unsigned char* allocate(std::uint32_t count) override {
    sizes.push_back(count);
    return StandardAllocator<unsigned char>::allocate(count);
  }
  std::vector<std::uint32_t> sizes;
};

TEST(Encoding, ConversionIntoAStringWritesOneBlockOfExactlyTheResultOnItsAllocator) {
  RecordingAllocator allocator;
  String<unsigned char> converted(reinterpret_cast<const unsigned char*>("old"), &allocator);
  ASSERT_TRUE(convertToUtf8("windows-1251",
                            bytesOf("\xCF\xF0"
                                    "a"),
                            3, &converted));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(converted.chars), converted.length + 1),
            std::string("\xD0\x9F\xD1\x80"
                        "a",
                        6));
  EXPECT_EQ(allocator.sizes, (std::vector<std::uint32_t>{4, 6}));  // "old", then the result and its zero
  EXPECT_EQ(converted.allocator, &allocator);
}

TEST(Encoding, ToUtf16GivesTerminatedUnitsAndTheirCount) {
  char16_t* units = nullptr;
  std::uint32_t count = 0;
  ASSERT_TRUE(toUtf16("windows-1251",
                      bytesOf("\xCF"
                              "a"),
                      2, &units, &count));
  const std::unique_ptr<char16_t[]> owned(units);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(std::u16string(units, 3), std::u16string(u"\u041Fa", 3));
}

TEST(Encoding, FromUtf16GivesTerminatedBytesAndTheirCount) {
  std::uint8_t* bytes = nullptr;
  std::uint32_t count = 0;
  ASSERT_TRUE(fromUtf16("utf8", u"\u041F\U0001F600", 3, &bytes, &count));
  const std::unique_ptr<std::uint8_t[]> owned(bytes);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 7), std::string("\xD0\x9F\xF0\x9F\x98\x80", 7));
}

TEST(Encoding, FailedConversionsClearTheOutputs) {
  struct Case {
    const char* name;
    const char* encoding;
    bool text;  // a text is given
    std::uint32_t length;
    bool outputs;  // both outputs are given
  };
  const Case cases[] = {
      {"NullName", nullptr, true, 3, true},
      {"NullText", "utf8", false, 3, true},
      {"ZeroLength", "utf8", true, 0, true},
      {"NullOutputs", "utf8", true, 3, false},
      {"RefusedName", "no-such-code-page", true, 3, true},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    int sentinel = 0;
    auto* units = reinterpret_cast<char16_t*>(&sentinel);
    std::uint32_t count = 7;
    EXPECT_FALSE(toUtf16(row.encoding, row.text ? bytesOf("abc") : nullptr, row.length, row.outputs ? &units : nullptr,
                         row.outputs ? &count : nullptr));
    auto* bytes = reinterpret_cast<std::uint8_t*>(&sentinel);
    std::uint32_t byteCount = 7;
    EXPECT_FALSE(fromUtf16(row.encoding, row.text ? u"abc" : nullptr, row.length, row.outputs ? &bytes : nullptr,
                           row.outputs ? &byteCount : nullptr));
    if (row.outputs) {
      EXPECT_EQ(units, nullptr);
      EXPECT_EQ(count, 0u);
      EXPECT_EQ(bytes, nullptr);
      EXPECT_EQ(byteCount, 0u);
    }
  }
}

TEST(Encoding, WidenStrictRefusesWhatIsNotStrictUtf8) {
  struct Case {
    const char* name;
    std::string_view bytes;
    std::u16string_view units;  // empty when refused
  };
  const Case cases[] = {
      {"Ascii", "abc", u"abc"},
      {"TwoAndThreeBytes", "\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
      {"FourBytesBecomeASurrogatePair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
      {"Largest", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
      {"Overlong", "\xC0\xAF", u""},
      {"Surrogate", "\xED\xA0\x80", u""},
      {"AboveU10FFFF", "\xF4\x90\x80\x80", u""},
      {"CutOffByTheEnd", "ab\xE2\x82", u""},
      {"LoneContinuation", "a\x80", u""},
      {"Empty", "", u""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    char16_t* units = widenStrict(bytesOf(row.bytes), sizeOf(row.bytes));
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(std::u16string_view(units), row.units);
    std::free(units);
  }
  char16_t* none = widenStrict(nullptr, 5);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none[0], 0);
  std::free(none);
}

TEST(Encoding, LegalSequenceJudgesOnlyTheFirstCharacter) {
  struct Case {
    const char* name;
    std::string_view bytes;
    bool legal;
  };
  const Case cases[] = {
      {"Ascii", "a", true},
      {"OnlyFirstCharacterCounts", "a\xFF", true},
      {"ZeroByte", {"\x00", 1}, true},
      {"Empty", "", false},
      {"LoneContinuation", "\x80", false},
      {"OverlongTwoBytes", "\xC0\xAF", false},
      {"SmallestTwoBytes", "\xC2\x80", true},
      {"BadContinuation", "\xC2\x41", false},
      {"OverlongThreeBytes", "\xE0\x80\x80", false},
      {"SmallestThreeBytes", "\xE0\xA0\x80", true},
      {"LastBeforeSurrogates", "\xED\x9F\xBF", true},
      {"Surrogate", "\xED\xA0\x80", false},
      {"OverlongFourBytes", "\xF0\x80\x80\x80", false},
      {"SmallestFourBytes", "\xF0\x90\x80\x80", true},
      {"Largest", "\xF4\x8F\xBF\xBF", true},
      {"AboveU10FFFF", "\xF4\x90\x80\x80", false},
      {"LeadAboveF4", "\xF5\x80\x80\x80", false},
      {"FiveBytes", "\xF8\x88\x80\x80\x80", false},
      {"CutOffByTheEnd", "\xE2\x82", false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(isLegalUtf8Sequence(bytesOf(row.bytes), bytesOf(row.bytes) + row.bytes.size()), row.legal);
  }
}

TEST(Encoding, RepairPolicyReplacesEachIllFormedSubsequence) {
  struct Case {
    const char* name;
    std::string_view bytes;
    bool strict;  // isStrictUtf8 before the repair
    std::string_view repaired;
  };
  const Case cases[] = {
      {"ValidKeptWithZeros", {"a\x00\xC3\xA9\xF0\x9F\x98\x80", 8}, true, {"a\x00\xC3\xA9\xF0\x9F\x98\x80", 8}},
      {"Empty", "", true, ""},
      {"LoneBytes",
       "a\xFF\xC0"
       "b",
       false,
       "a\xEF\xBF\xBD\xEF\xBF\xBD"
       "b"},
      // A lead byte with its valid continuations is one subsequence.
      {"TruncatedSequence",
       "\xE2\x82"
       "a",
       false,
       "\xEF\xBF\xBD"
       "a"},
      {"TruncatedAtTheEnd", "a\xF0\x9F\x98", false, "a\xEF\xBF\xBD"},
      // The second byte is out of range for the lead: each byte stands alone.
      {"Surrogate", "\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"Overlong", "\xC0\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"AboveU10FFFF", "\xF4\x90\x80\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      // Runs of ASCII are checked eight bytes at a time: what follows one is still judged.
      {"IllFormedAfterAsciiRun",
       "abcdefghijklmnop\xFF"
       "q",
       false,
       "abcdefghijklmnop\xEF\xBF\xBD"
       "q"},
      {"SequenceAcrossEightByteBoundary", "abcdefg\xC3\xA9hijklmnop", true, "abcdefg\xC3\xA9hijklmnop"},
      {"TruncatedAfterAsciiRun", "abcdefghi\xE2\x82", false, "abcdefghi\xEF\xBF\xBD"},
      // The check goes on at the first byte of a word that is not ASCII.
      {"SequenceInsideAWord",
       "abcde\xE2\x82\xAC"
       "ghijkl",
       true,
       "abcde\xE2\x82\xAC"
       "ghijkl"},
      {"IllFormedLastInAWord", "abcdefg\xFFhijklmno", false, "abcdefg\xEF\xBF\xBDhijklmno"},
      {"IllFormedAfterASequenceInTheSameWord",
       "ab\xC3\xA9"
       "z\x80"
       "zyxwvu",
       false,
       "ab\xC3\xA9"
       "z\xEF\xBF\xBD"
       "zyxwvu"},
      // Two-byte characters are taken on a short path: its refusals.
      {"TwoByteCutAtTheEnd", "abc\xC3", false, "abc\xEF\xBF\xBD"},
      {"TwoByteWithoutContinuation", "\xC3(", false, "\xEF\xBF\xBD("},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(isStrictUtf8(bytesOf(row.bytes), sizeOf(row.bytes)), row.strict);
    EXPECT_EQ(replaceIllFormedUtf8(bytesOf(row.bytes), sizeOf(row.bytes)), row.repaired);
  }
}

TEST(Encoding, LenientDecoderAcceptsOverlongAndSurrogateForms) {
  struct Case {
    const char* name;
    std::string_view bytes;
    std::uint32_t capacity;
    std::int32_t result;
    std::u16string_view units;
    bool mark;
  };
  const Case cases[] = {
      {"Ascii", "ab", 8, 2, u"ab", false},
      {"MarkDropped",
       "\xEF\xBB\xBF"
       "a",
       8, 1, u"a", true},
      {"Overlong", "\xC0\xAF", 8, 1, u"/", false},
      {"Surrogate", "\xED\xA0\x80", 8, 1, u"\xD800", false},
      {"SurrogatePair", "\xF0\x9F\x98\x80", 8, 2, u"\xD83D\xDE00", false},
      {"AboveU10FFFF", "\xF4\x90\x80\x80", 8, -1, u"", false},
      {"LoneContinuation", "\x80", 8, -1, u"", false},
      {"LeadAboveF7", "\xF8\x88\x80\x80\x80", 8, -1, u"", false},
      {"MissingContinuation",
       "\xE2\x82"
       "a",
       8, -1, u"", false},
      {"CutOffByTheEnd", "\xE2\x82", 8, -1, u"", false},
      {"ExactCapacity", "abc", 3, 3, u"abc", false},
      {"NoRoom", "abc", 2, -1, u"", false},
      {"NoRoomForThePair", "a\xF0\x9F\x98\x80", 2, -1, u"", false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<char16_t> out(row.capacity);
    bool mark = !row.mark;
    const std::int32_t result = utf8ToUtf16(bytesOf(row.bytes), sizeOf(row.bytes), out.data(), row.capacity, &mark);
    EXPECT_EQ(result, row.result);
    if (result >= 0) {
      EXPECT_EQ(std::u16string_view(out.data(), static_cast<std::size_t>(result)), row.units);
      EXPECT_EQ(mark, row.mark);
    }
  }
}

TEST(Encoding, EncoderRefusesAnUnpairedHighSurrogate) {
  struct Case {
    const char* name;
    std::u16string_view units;
    std::uint32_t capacity;
    bool mark;
    std::int32_t result;
    std::string_view bytes;
  };
  const Case cases[] = {
      {"OneToThreeBytes", u"a\u00E9\u20AC", 16, false, 6, "a\xC3\xA9\xE2\x82\xAC"},
      {"SurrogatePair", u"\xD83D\xDE00", 16, false, 4, "\xF0\x9F\x98\x80"},
      {"LoneHighSurrogate", u"\xD800", 16, false, -1, ""},
      {"HighSurrogateBeforeAnotherUnit",
       u"\xD800"
       "a",
       16, false, -1, ""},
      {"LoneLowSurrogate", u"\xDC00", 16, false, 3, "\xED\xB0\x80"},
      {"MarkFirst", u"a", 16, true, 4,
       "\xEF\xBB\xBF"
       "a"},
      {"NoRoomForTheMark", u"", 2, true, -1, ""},
      {"ExactCapacity", u"\u20AC", 3, false, 3, "\xE2\x82\xAC"},
      {"NoRoom", u"\u20AC", 2, false, -1, ""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::uint8_t> out(row.capacity);
    const std::int32_t result =
        utf16ToUtf8(row.units.data(), static_cast<std::uint32_t>(row.units.size()), out.data(), row.capacity, row.mark);
    EXPECT_EQ(result, row.result);
    if (result >= 0) {
      EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(result)),
                row.bytes);
    }
  }
}

TEST(Encoding, StringFormsStopAtZeroAndAreEmptyOnFailure) {
  EXPECT_EQ(toWideString("h\xC3\xA9\xF0\x9F\x98\x80"), u"h\u00E9\U0001F600");
  EXPECT_EQ(toWideString("\xEF\xBB\xBF"
                         "a"),
            u"a");
  EXPECT_EQ(toWideString(std::string("a\0b", 3)), u"a");
  EXPECT_EQ(toWideString("a\xFF"), u"");
  EXPECT_EQ(toNarrowString(u"h\u00E9\U0001F600"), "h\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(toNarrowString(std::u16string(u"a\0b", 3)), "a");
  EXPECT_EQ(toNarrowString(u"a\xD800"), "");
}

}  // namespace
}  // namespace Kelvo
