#include "sub/text_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace Kelvo {
namespace {

TEST(TextTokenizer, RunsOfDelimitersAreOneSeparator) {
  std::string text = "\r\na\r\n\r\nb\rc";
  TextTokenizer lines(text.data());

  EXPECT_STREQ(lines.nextToken("\r\n"), "a");
  EXPECT_EQ(lines.position, 3);
  EXPECT_EQ(lines.cut, '\r');
  EXPECT_STREQ(lines.nextToken("\r\n"), "b");
  EXPECT_EQ(lines.cut, '\r');
  EXPECT_STREQ(lines.nextToken("\r\n"), "c");
  EXPECT_EQ(lines.position, 9);  // its last character
  EXPECT_EQ(lines.cut, '\0');
  EXPECT_EQ(lines.nextToken("\r\n"), nullptr);
  EXPECT_EQ(lines.nextToken("\r\n"), nullptr);
  EXPECT_EQ(lines.position, 9);
  // Only the first delimiter after each token became a NUL.
  EXPECT_EQ(text, std::string_view("\r\na\0\n\r\nb\0c", 10));
}

TEST(TextTokenizer, NothingButDelimitersHasNoToken) {
  for (std::string text : {"", "\n", ",\r,\n,"}) {
    SCOPED_TRACE(text);
    const std::string before = text;
    TextTokenizer tokens(text.data());
    EXPECT_EQ(tokens.nextToken(",\r\n"), nullptr);
    EXPECT_EQ(tokens.nextToken(",\r\n"), nullptr);
    EXPECT_EQ(text, before);
  }
}

TEST(TextTokenizer, SplitsFieldsOfALine) {
  std::string line = "[COLF]&HFFFFFF,,[STYLE]bd, [SIZE]18,";
  TextTokenizer fields(line.data());
  EXPECT_STREQ(fields.nextToken(",\r\n"), "[COLF]&HFFFFFF");
  EXPECT_STREQ(fields.nextToken(",\r\n"), "[STYLE]bd");
  EXPECT_STREQ(fields.nextToken(",\r\n"), " [SIZE]18");
  EXPECT_EQ(fields.nextToken(",\r\n"), nullptr);
}

}  // namespace
}  // namespace Kelvo
