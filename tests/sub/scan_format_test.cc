#include "sub/scan_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace Kelvo {
namespace {

struct ScanCase {
  const char* name;
  std::string_view line;
  const char* format;
  std::size_t converted;
  std::vector<std::int32_t> numbers;    // the converted "%d" values, in order
  std::vector<std::string_view> texts;  // the converted set values, in order
};

const ScanCase kScanCases[] = {
    {"Decimal", "42", "%d", 1, {42}, {}},
    {"WhiteSpaceAndSign", " \t\r\n\v\f-17", "%d", 1, {-17}, {}},
    {"PlusSignAndTrailingText", "+8x", "%d", 1, {8}, {}},
    {"SignWithoutDigits", "-x", "%d", 0, {}, {}},
    {"SpaceAfterSign", "- 5", "%d", 0, {}, {}},
    {"EmptyLine", "", "%d", 0, {}, {}},
    {"NoBreakSpaceIsNoWhiteSpace",
     "\xA0"
     "5",
     "%d",
     0,
     {},
     {}},
    {"WrapsPastInt32Max", "2147483648", "%d", 1, {-2147483647 - 1}, {}},
    {"WrapsPastInt32Min", "-2147483649", "%d", 1, {2147483647}, {}},
    {"WrapsPast32Bits", "4294967297", "%d", 1, {1}, {}},
    {"LongRunOfDigits", "99999999999999999999", "%d", 1, {1661992959}, {}},
    {"LiteralsMatchThemselves", "1:2:3.4", "%d:%d:%d.%d", 4, {1, 2, 3, 4}, {}},
    {"StopsAtFirstMismatch", "1:2;3.4", "%d:%d:%d.%d", 2, {1, 2}, {}},
    {"LiteralMustFollowDirectly", "1 :2", "%d:%d", 1, {1}, {}},
    {"WhiteSpaceBeforeEachNumber", " 1: 2", "%d:%d", 2, {1, 2}, {}},
    {"LiteralPrefix", "[SIZE] 18", "[SIZE]%d", 1, {18}, {}},
    {"LiteralPrefixIsCaseSensitive", "[size]18", "[SIZE]%d", 0, {}, {}},
    {"Set", "abc1", "%[a-c]", 1, {}, {"abc"}},
    {"SetNeedsOneCharacter", "1abc", "%[a-z]", 0, {}, {}},
    {"SetWithRangesAndSingles", "&H00ff0Z,", "&%[A-Za-z0-9]", 1, {}, {"H00ff0Z"}},
    {"DashAtSetEndIsLiteral", "a-b-c", "%[a-]", 1, {}, {"a-"}},
    {"NegatedSet", "Times New Roman\r\nx", "%[^\r\n]", 1, {}, {"Times New Roman"}},
    {"NegatedSetNeedsOneCharacter", "\r\n", "%[^\r\n]", 0, {}, {}},
    {"NegatedSetTakesUtf8", "\xCE\xB1\xCE\xB2 x", "%[^ ]", 1, {}, {"\xCE\xB1\xCE\xB2"}},
    {"NumberAndSet", "[STYLE]bd,[SIZE]", "[STYLE]%[a-z],[SIZE]%d", 1, {}, {"bd"}},
    // A line given by its length ends there, and a NUL ends it early.
    {"LengthEndsTheLine", std::string_view("12345", 2), "%d", 1, {12}, {}},
    {"LengthEndsALiteral", std::string_view("[SIZE]5", 3), "[SIZE]%d", 0, {}, {}},
    {"NulEndsTheLine", std::string_view("ab\0cd", 5), "%[a-z]", 1, {}, {"ab"}},
    {"NulIsNoCharacterOfANegatedSet", std::string_view("ab\0cd", 5), "%[^x]", 1, {}, {"ab"}},
};

TEST(ScanFormat, ConvertsAsTheFormatSays) {
  for (const ScanCase& row : kScanCases) {
    SCOPED_TRACE(row.name);
    std::int32_t numbers[4] = {};
    std::string_view texts[2];
    std::vector<ScanOutput> outputs;
    std::size_t nextNumber = 0;
    std::size_t nextText = 0;
    for (const char* f = row.format; *f != '\0'; ++f) {
      if (*f != '%') continue;
      if (f[1] == 'd') {
        outputs.emplace_back(&numbers[nextNumber++]);
      } else {
        outputs.emplace_back(&texts[nextText++]);
      }
    }
    EXPECT_EQ(scanFormat(row.line, row.format, outputs.data(), outputs.size()), row.converted);
    for (std::size_t i = 0; i < row.numbers.size(); ++i) EXPECT_EQ(numbers[i], row.numbers[i]) << i;
    for (std::size_t i = 0; i < row.texts.size(); ++i) EXPECT_EQ(texts[i], row.texts[i]) << i;
  }
}

TEST(ScanFormat, ConvertsIntoTypedOutputs) {
  std::int32_t size = 0;
  std::string_view face;
  EXPECT_EQ(scanFormat("[SIZE]18,[FONT]Arial", "[SIZE]%d,[FONT]%[^\r\n]", &size, &face), 2u);
  EXPECT_EQ(size, 18);
  EXPECT_EQ(face, "Arial");
}

TEST(ScanCursor, FailedReadingsConsumeNothing) {
  const char* line = "  -x";
  ScanCursor cursor(line);
  std::int32_t value = 7;
  EXPECT_FALSE(cursor.readDecimal(&value));
  EXPECT_EQ(value, 7);
  EXPECT_EQ(cursor.position(), line);
  std::string_view digits;
  EXPECT_FALSE(cursor.readDigits(&digits));
  EXPECT_FALSE(cursor.skip('x'));
  EXPECT_EQ(cursor.position(), line);
}

TEST(ScanCursor, DigitsCarryNoSignOrWhiteSpace) {
  ScanCursor cursor(std::string_view("0750 -1"));
  std::string_view digits;
  ASSERT_TRUE(cursor.readDigits(&digits));
  EXPECT_EQ(digits, "0750");
  EXPECT_FALSE(cursor.readDigits(&digits));
  EXPECT_TRUE(cursor.skip(' '));
  EXPECT_FALSE(cursor.readDigits(&digits));
  EXPECT_TRUE(cursor.skip('-'));
  ASSERT_TRUE(cursor.readDigits(&digits));
  EXPECT_EQ(digits, "1");
  EXPECT_EQ(cursor.peek(), '\0');
  EXPECT_FALSE(cursor.skip('\0'));
}

}  // namespace
}  // namespace Kelvo
