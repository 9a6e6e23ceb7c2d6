// Conversions through converters that only ICU's full set has: multi-byte
// code pages, UTF-32 and UTF-7. Where a stand-in with a few converters takes
// ICU's place (Windows), these are not built.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <random>
#include <string>
#include <string_view>

#include "framework/portable_string.h"
#include "text/encoding.h"

namespace Kelvo {
namespace {

const std::uint8_t* bytesOf(std::string_view text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }
std::uint32_t sizeOf(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }

// The text converted in one go, through worst-case buffers.
std::string convertedWhole(const char* encoding, const std::string& text) {
  char16_t* units = nullptr;
  std::uint32_t unitCount = 0;
  if (!toUtf16(encoding, bytesOf(text), sizeOf(text), &units, &unitCount)) return "toUtf16 failed";
  const std::unique_ptr<char16_t[]> ownedUnits(units);
  std::uint8_t* bytes = nullptr;
  std::uint32_t byteCount = 0;
  if (!fromUtf16("utf8", units, unitCount, &bytes, &byteCount)) return "fromUtf16 failed";
  const std::unique_ptr<std::uint8_t[]> ownedBytes(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), byteCount);
}

void expectConvertedAsWhole(const char* encoding, const std::string& text) {
  const std::string whole = convertedWhole(encoding, text);
  EXPECT_EQ(convertToUtf8(encoding, bytesOf(text), sizeOf(text)), whole);
  String<unsigned char> converted;
  ASSERT_TRUE(convertToUtf8(encoding, bytesOf(text), sizeOf(text), &converted));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(converted.chars), converted.length), whole);
  EXPECT_EQ(converted.chars[converted.length], 0);
}

// Texts long enough to cross several of the pieces a conversion goes through.
TEST(EncodingThroughIcu, ConversionInPiecesGivesWhatOneWholeConversionGives) {
  // Random bytes for each kind of code page: single-byte, multi-byte, UTF-16, stateful.
  std::mt19937 random(5);
  for (const char* encoding : {"windows-1251", "UTF-16LE", "UTF-16BE", "UTF8", "GB-18030", "Shift_JIS", "UTF-7"}) {
    for (const std::uint32_t length : {1u, 32767u, 32768u, 100001u}) {
      SCOPED_TRACE(std::string(encoding) + ", " + std::to_string(length) + " random bytes");
      std::string text(length, '\0');
      for (char& byte : text) byte = static_cast<char>(random() % 4 == 0 ? random() : 'a' + random() % 26);
      expectConvertedAsWhole(encoding, text);
    }
  }
  // One letter, then characters outside the Basic Multilingual Plane: their
  // surrogate pairs fall across the pieces' boundaries.
  std::string utf16 = {'A', '\0'};
  std::string utf8 = "A";
  for (int i = 0; i < 20000; ++i) {
    utf16 += std::string("\x3D\xD8\x00\xDE", 4);  // U+1F600
    utf8 += "\xF0\x9F\x98\x80";
  }
  for (const auto& [encoding, text] : {std::pair{"UTF-16LE", utf16}, std::pair{"UTF8", utf8}}) {
    SCOPED_TRACE(std::string(encoding) + ", pairs across pieces");
    expectConvertedAsWhole(encoding, text);
    EXPECT_EQ(convertToUtf8(encoding, bytesOf(text), sizeOf(text)), utf8);
  }
}

TEST(EncodingThroughIcu, ConvertsCodePagesToUtf8) {
  struct Case {
    const char* name;
    const char* encoding;
    std::string_view text;
    std::string_view utf8;
  };
  const Case cases[] = {
      {"Windows1250", "windows-1250", "\x8A\x9A \xE8", "\xC5\xA0\xC5\xA1 \xC4\x8D"},
      {"Iso88592", "ISO-8859-2", "\xA9\xB9 \xE8", "\xC5\xA0\xC5\xA1 \xC4\x8D"},
      {"Koi8R", "KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"ShiftJis", "Shift_JIS", "\x93\xFA\x96\x7B\x82\xA0", "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\x82"},
      // Four-byte forms, one of them outside the Basic Multilingual Plane.
      {"Gb18030", "GB-18030", "\xC4\xE3\xBA\xC3\x81\x30\x81\x30\x90\x30\x81\x30",
       "\xE4\xBD\xA0\xE5\xA5\xBD\xC2\x80\xF0\x90\x80\x80"},
      {"Utf32", "UTF-32", {"\x00\x00\x00\x41\x00\x01\xF6\x00", 8}, "A\xF0\x9F\x98\x80"},
      // A name that signature detection gives.
      {"DetectedName", "UTF32-LE", {"\x41\x00\x00\x00", 4}, "A"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(convertToUtf8(row.encoding, bytesOf(row.text), sizeOf(row.text)), row.utf8);
  }
}

TEST(EncodingThroughIcu, OutputThatDoesNotFitFailsInsteadOfBeingCut) {
  // UTF-7 writes "+AKM-" (five bytes) for one unit; the buffer holds four per unit.
  std::uint8_t* bytes = nullptr;
  std::uint32_t count = 7;
  EXPECT_FALSE(fromUtf16("UTF-7", u"\u00A3", 1, &bytes, &count));
  EXPECT_EQ(bytes, nullptr);
  EXPECT_EQ(count, 0u);
  ASSERT_TRUE(fromUtf16("UTF-7", u"a\u00A3", 2, &bytes, &count));
  const std::unique_ptr<std::uint8_t[]> owned(bytes);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), count), "a+AKM-");
}

}  // namespace
}  // namespace Kelvo
