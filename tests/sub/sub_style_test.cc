#include "sub/sub_style.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace Kelvo {
namespace {

std::string wrap(const SubStyle& style, std::string_view text) {
  const ComposedText composed =
      style.wrapText(text.size(), [text](char* out) { std::memcpy(out, text.data(), text.size()); });
  EXPECT_EQ(composed.block[composed.length], 0);
  return std::string(reinterpret_cast<const char*>(composed.block.get()), composed.length);
}

SubStyle styleOf(const std::vector<std::string>& fields) {
  SubStyle style;
  for (const std::string& field : fields) style.applyStyleField(field.c_str());
  style.buildFontTags();
  return style;
}

TEST(SubStyle, SizeStepsByTwoPointsFromTwenty) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {8, "-6"},
      {12, "-4"},
      {16, "-2"},
      {18, "-1"},
      {19, "-0"},
      {20, "+0"},
      {21, "+0"},
      {22, "+1"},
      {24, "+2"},
      {28, "+4"},
      {32, "+6"},
      {-2147483647 - 1, "-1073741834"},
      {2147483647, "+1073741813"},
  };
  for (const auto& [size, text] : rows) {
    SCOPED_TRACE(size);
    SubStyle style;
    style.applyStyleField(("[SIZE]" + std::to_string(size)).c_str());
    EXPECT_EQ(style.header.size, size);
    EXPECT_EQ(style.header.sizeText, text);
  }
}

struct StyleCase {
  const char* name;
  std::vector<std::string> fields;
  std::string_view wrapped;  // the text "x" composed
};

TEST(SubStyle, FieldsGiveTheMarkup) {
  const StyleCase rows[] = {
      {"NoStyleFields", {}, "x"},
      {"BoldAlone", {"[STYLE]bd"}, "<b>x</b>"},
      {"ColourAlone", {"[COLF]&HFFFFFF"}, "<font color=\"#FFFFFF\">x</font>"},
      {"ColourWithDigits", {"[COLF]&H00FF00"}, "<font color=\"#00FF00\">x</font>"},
      {"UnknownStyleWord", {"[STYLE]it"}, "x"},
      {"UpperCaseStyleWordMatchesNothing", {"[STYLE]bd", "[STYLE]NO"}, "<b>x</b>"},
      {"NoAfterBold", {"[STYLE]bd", "[STYLE]no"}, "x"},
      {"OtherWordAfterBoldKeepsBold", {"[STYLE]bd", "[STYLE]it"}, "<b>x</b>"},
      {"SpaceBeforeTag", {" [STYLE]bd", " [SIZE]18"}, "x"},
      {"SpacesBeforeSize", {"[SIZE]   18"}, "<font size=\"-1\">x</font>"},
      {"LastFontWins", {"[FONT]Arial", "[FONT]Times New Roman"}, "<font face=\"Times New Roman\">x</font>"},
      {"QuoteInFaceCannotEndTheAttribute",
       {"[FONT]A\" onmouseover=\"b"},
       "<font face=\"A&quot; onmouseover=&quot;b\">x</font>"},
      {"EmptyValuesChangeNothing", {"[FONT]", "[COLF]&", "[STYLE]", "[SIZE]"}, "x"},
      {"AttributesInTheirOrder",
       {"[STYLE]bd", "[COLF]&HFFFFFF", "[SIZE]18", "[FONT]Arial"},
       "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>x</b></font>"},
  };
  for (const StyleCase& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(wrap(styleOf(row.fields), "x"), row.wrapped);
  }
}

TEST(SubStyle, HeaderKeepsTheLastValueOfEachKind) {
  const SubStyle style = styleOf({"[COLF]&HFFFFFF", "[STYLE]bd", "[SIZE]18", "[FONT]Arial", "[STYLE]it"});
  EXPECT_EQ(style.header.colour, "#FFFFFF");
  EXPECT_EQ(style.header.style, "it");
  EXPECT_EQ(style.header.size, 18);
  EXPECT_EQ(style.header.face, "Arial");
  EXPECT_EQ(style.header.sizeText, "-1");
  EXPECT_EQ(style.boldOpen, "<b>");
  EXPECT_EQ(style.fontClose, "</font>");
}

TEST(SubStyle, LongValuesAreKeptWhole) {
  const std::string face(300, 'F');
  const std::string colour = "H" + std::string(100, 'A');
  const SubStyle style = styleOf({"[FONT]" + face, "[COLF]&" + colour});
  EXPECT_EQ(style.header.face, face);
  EXPECT_EQ(wrap(style, ""), "<font face=\"" + face + "\" color=\"#" + std::string(100, 'A') + "\"></font>");
}

}  // namespace
}  // namespace Kelvo
