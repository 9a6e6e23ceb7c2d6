// The language-code table and the lookup between a code's two forms.
#include "container/language_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace Kelvo {
namespace {

TEST(LanguageCodes, MapsEachCodeToItsOtherForm) {
  struct Case {
    const char* code;
    const char* alternate;
  };
  const Case cases[] = {
      {"de", "ger"},
      {"ger", "de"},
      {"fre", "fr"},
      {"fr", "fre"},
      {"aa", "aar"},
      {"zul", "zu"},
      // A later row replaces an earlier one: "my" ends with the terminology code.
      {"my", "mya"},
      {"bur", "my"},
      {"mya", "my"},
      // Exact lookup only.
      {"DE", ""},
      {"Ger", ""},
      {"xx", ""},
      {"", ""},
      {"de-AT", ""},
      {"de ", ""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(alternateLanguageCode(row.code), row.alternate);
  }
}

TEST(LanguageCodes, TableHasItsRowsInOrderAndTheMapItsKeys) {
  ASSERT_EQ(languageCodeTable.size(), 205u);
  EXPECT_EQ(languageCodeTable.front().threeLetter, "aar");
  EXPECT_EQ(languageCodeTable.front().twoLetter, "aa");
  EXPECT_EQ(languageCodeTable[25].threeLetter, "bur");
  EXPECT_EQ(languageCodeTable[124].threeLetter, "bur");
  EXPECT_EQ(languageCodeTable[125].threeLetter, "mya");
  EXPECT_EQ(languageCodeTable[125].twoLetter, "my");
  EXPECT_EQ(languageCodeTable.back().threeLetter, "zul");
  EXPECT_EQ(languageCodeTable.back().twoLetter, "zu");
  for (const LanguageCodePair& row : languageCodeTable) {
    EXPECT_EQ(row.threeLetter.size(), 3u) << row.threeLetter;
    EXPECT_EQ(row.twoLetter.size(), 2u) << row.twoLetter;
  }
  EXPECT_EQ(alternateLanguageCodes().size(), 371u);
}

}  // namespace
}  // namespace Kelvo
