#include "markup.h"

#include <gtest/gtest.h>

#include <string>

namespace Kelvo::subhost {
namespace {

struct MarkupCase {
  const char* name;
  std::string text;
  std::string expected;
};

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kNotBold = "\x1b[22m";
constexpr const char* kDefaultColour = "\x1b[39m";
constexpr const char* kReset = "\x1b[0m";

TEST(Markup, TerminalShowsBoldItalicUnderlineAndColour) {
  const std::string white = "\x1b[38;2;255;255;255m";
  const std::string red = "\x1b[38;2;255;0;0m";
  const std::string green = "\x1b[38;2;0;255;0m";
  const MarkupCase cases[] = {
      {"plain text stays as it is, without a reset", "Hello\nworld", "Hello\nworld"},
      {"the plug-in's font and bold markup",
       "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>Hi\nthere</b></font>",
       white + kBold + "Hi\nthere" + kNotBold + kDefaultColour + kReset},
      {"an inner font colour gives way to the outer one",
       "<font color=\"#FF0000\">a<font color=\"#00ff00\">b</font>c</font>",
       red + "a" + green + "b" + red + "c" + kDefaultColour + kReset},
      {"a font without a colour changes nothing", "<font face=\"Arial\" size=\"+2\">x</font>", "x"},
      {"italic and underline", "<i>a</i><u>b</u>", "\x1b[3ma\x1b[23m\x1b[4mb\x1b[24m" + std::string(kReset)},
      {"nested bold ends with the outer tag", "<b><b>a</b>b</b>c", kBold + std::string("ab") + kNotBold + "c" + kReset},
      {"tag names in any case", "<B>x</B>", kBold + std::string("x") + kNotBold + kReset},
      {"an unclosed tag is reset at the end", "<b>x", kBold + std::string("x") + kReset},
      {"a stray closing tag changes nothing", "</b>x</font>", "x"},
      {"a colour that is not #RRGGBB is no colour", "<font color=\"#GG0000\">x</font>", "x"},
      {"a quote written as &quot; inside a face", "<font face=\"A &quot;B&quot;\" color=\"#010203\">x</font>",
       "\x1b[38;2;1;2;3mx" + std::string(kDefaultColour) + kReset},
      {"other angle brackets are text", "a < b, <c> and <font", "a < b, <c> and <font"},
      {"an unquoted attribute makes no font tag", "<font color=#FF0000>x", "<font color=#FF0000>x"},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(markupToTerminal(c.text), c.expected);
  }
}

TEST(Markup, PlainTextDropsTheTagsOnly) {
  const MarkupCase cases[] = {
      {"every known tag", "<font face=\"Arial\" color=\"#FFFFFF\"><b>Hi</b></font> <i>there</i><u>!</u>", "Hi there!"},
      {"other brackets and entities stay", "a<b & c>d &quot;", "a<b & c>d &quot;"},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(markupToPlainText(c.text), c.expected);
  }
}

TEST(Markup, WebVttKeepsStyleTagsDropsFontsAndEscapesText) {
  const MarkupCase cases[] = {
      {"font dropped, bold kept in lower case", "<font face=\"Arial\" color=\"#FFFFFF\"><B>Fish</B></font>",
       "<b>Fish</b>"},
      {"italic and underline kept", "<i>a</i> <u>b</u>", "<i>a</i> <u>b</u>"},
      {"ampersand and brackets of the text escaped", "Flour & water <and> salt, a --> b",
       "Flour &amp; water &lt;and&gt; salt, a --&gt; b"},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(markupToWebVtt(c.text), c.expected);
  }
}

}  // namespace
}  // namespace Kelvo::subhost
