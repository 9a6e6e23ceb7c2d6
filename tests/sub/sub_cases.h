// SUB files and what opening them gives: the table that the parser core's
// tests and the open tests through real files share. Entries are listed in
// file order (open then sorts them by start); `logged` holds the texts of the
// "skipped malformed time line" messages, in order.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "sub/sub_parser.h"

namespace Kelvo::testing {

struct ExpectedEntry {
  std::uint32_t start;     // milliseconds
  std::uint32_t duration;  // milliseconds
  std::string_view text;   // the exact bytes of the chunk
};

struct SubCase {
  const char* name;                           // becomes the test name
  std::string_view file;                      // the whole file
  bool opens;                                 // false: open fails and adds no stream
  std::vector<ExpectedEntry> entries;         // in file order
  std::vector<std::string_view> logged = {};  // skipped time lines, as logged
  FrameRatio ratio = kDefaultFrameRatio;      // the owner's "FrameRate" setting
};

// Names a row in test output.
inline void PrintTo(const SubCase& row, std::ostream* out) { *out << row.name; }

inline const std::vector<SubCase>& subCases() {
  static const std::vector<SubCase> cases = {
      // Header style around every text; "[br]" breaks the line.
      {"StyledExample",
       "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial\n"
       "00:00:01.00,00:00:03.50\n"
       "first[br]second\n"
       "00:00:02.00,00:00:04.00\n"
       "third\n",
       true,
       {{1000, 2500, "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>first\nsecond</b></font>"},
        {2000, 2000, "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>third</b></font>"}}},
      {"NoHeader", "00:00:01.00,00:00:02.00\nHello\n", true, {{1000, 1000, "Hello"}}},
      {"OnlyHeader", "[INFORMATION]\n[COLF]&HFFFFFF,[STYLE]bd\n[END INFORMATION]\n", true, {}},
      {"OnlyBlankLines", "\n\r\n\r\r\n\n", true, {}},
      {"CrLfEndings",
       "[STYLE]bd\r\n00:00:01.00,00:00:02.00\r\none\r\ntwo\r\n\r\n00:00:03.00,00:00:04.00\r\nthree\r\n",
       true,
       {{1000, 1000, "<b>one\ntwo</b>"}, {3000, 1000, "<b>three</b>"}}},
      {"LfEndings",
       "[STYLE]bd\n00:00:01.00,00:00:02.00\none\ntwo\n\n00:00:03.00,00:00:04.00\nthree\n",
       true,
       {{1000, 1000, "<b>one\ntwo</b>"}, {3000, 1000, "<b>three</b>"}}},
      {"CrEndings",
       "[STYLE]bd\r00:00:01.00,00:00:02.00\rone\rtwo\r\r00:00:03.00,00:00:04.00\rthree\r",
       true,
       {{1000, 1000, "<b>one\ntwo</b>"}, {3000, 1000, "<b>three</b>"}}},
      // Blank lines never reach the text, wherever they are.
      {"BlankLinesInsideAndBetween",
       "\n\n00:00:01.00,00:00:02.00\n\n\nline one\n\n\nline two\n\n\n\n00:00:03.00,00:00:04.00\n\nthree",
       true,
       {{1000, 1000, "line one\nline two"}, {3000, 1000, "three"}}},
      // Only "[br]" makes an empty line: twice in a row, or at a line's end.
      {"BrTwiceAndAtLineEnd",
       "00:00:01.00,00:00:02.00\na[br][br]b\nend[br]\nnext[BR]\n",
       true,
       {{1000, 1000, "a\n\nb\nend\n\nnext[BR]"}}},
      {"SpacesLineIsText", "00:00:01.00,00:00:02.00\n   \n", true, {{1000, 1000, "   "}}},
      {"BracketLineAfterHeaderIsText",
       "[STYLE]bd\n00:00:01.00,00:00:02.00\n[END SUBTITLE]\n",
       true,
       {{1000, 1000, "<b>[END SUBTITLE]</b>"}}},
      {"CommentNamingStyleTagsIsAComment",
       "[COMMENT]write [STYLE]bd for bold\n00:00:01.00,00:00:02.00\nx\n",
       true,
       {{1000, 1000, "x"}}},
      // Not a header line, and not a time line either.
      {"HeaderLineStartingWithSpaceFails", "[INFORMATION]\n [STYLE]bd\n00:00:01.00,00:00:02.00\nx\n", false, {}},
      {"MicroDvdFails", "{1}{1}29.970\n{10}{20}Hello\n", false, {}},
      {"SrtFails", "1\n00:00:01,000 --> 00:00:02,000\nHello\n", false, {}},
      {"BrokenFirstTimeLineFails", "[SUBTITLE]\n00:00:01.00;00:00:02.00\nx\n", false, {}},
      {"EntriesWithoutTextDropped",
       "00:00:01.00,00:00:02.00\n00:00:03.00,00:00:04.00\nx\n00:00:05.00,00:00:06.00\n",
       true,
       {{3000, 1000, "x"}}},
      {"OutOfOrderAndOverlapping",
       "00:00:05.00,00:00:08.00\nb\n00:00:01.00,00:00:06.00\na\n",
       true,
       {{5000, 3000, "b"}, {1000, 5000, "a"}}},
      {"EndBeforeStartWraps", "00:00:05.00,00:00:02.00\nx\n", true, {{5000, 4294964296u, "x"}}},
      {"NegativeTimes", "-00:00:06.84,-00:00:02.85\nx\n", true, {{4294960456u, 3990, "x"}}},
      // The minus sign negates the whole time, not the hours alone.
      {"NegativeHoursNegateTheTime", "-1:30:00.00,00:00:01.00\nx\n", true, {{4289567296u, 5401000, "x"}}},
      // Fractions are decimal fractions of the second.
      {"FractionOfTenths", "00:00:01.5,00:00:03.00\nx\n", true, {{1500, 1500, "x"}}},
      {"FractionOfHundredths", "00:00:01.50,00:00:03.00\nx\n", true, {{1500, 1500, "x"}}},
      {"FractionOfThousandths", "00:00:01.500,00:00:03.000\nx\n", true, {{1500, 1500, "x"}}},
      {"FractionWithLeadingZero", "00:00:01.05,00:00:02.00\nx\n", true, {{1050, 950, "x"}}},
      {"FractionOfSevenDigits", "00:00:06.7000000,00:00:15.0666666\nx\n", true, {{6700, 8366, "x"}}},
      // "," then digits then ":" in the first time separates the two times.
      {"NoFractionBeforeSecondTime", "00:00:00,00:00:06.7\nx\n", true, {{0, 6700, "x"}}},
      {"CommaFractions", "00:01:37,39,00:01:39,76\nx\n", true, {{97390, 2370, "x"}}},
      {"AfterSecondTimeIgnored", "00:00:01.00,00:00:02.00 (scene 1)\nx\n", true, {{1000, 1000, "x"}}},
      // A text line that reads as a time line starts an entry.
      {"TimeLineInText", "00:00:01.00,00:00:02.00\n1:2:3,4:5:6\nx\n", true, {{3723000, 10983000, "x"}}},
      // Each broken time line ends its entry and is skipped with its text;
      // line numbers count CR LF, LF and a lone CR, blank lines included.
      {"BrokenTimeLinesSkipped",
       "00:00:01.00,00:00:02.00\r\n"  // 1
       "kept\r\n"                     // 2
       "\r\n"                         // 3
       "12:30:00.5 words\n"           // 4
       "lost\r"                       // 5
       "\r"                           // 6
       "00:00:03.00-00:00:04.00\n"    // 7
       "\n"                           // 8
       "\r\r\n"                       // 9, 10
       "also lost\n"                  // 11
       "00:00:05.00,00:00:06.00\n"    // 12
       "after\n",                     // 13
       true,
       {{1000, 1000, "kept"}, {5000, 1000, "after"}},
       {"skipped malformed time line 4: '12:30:00.5 words'",
        "skipped malformed time line 7: '00:00:03.00-00:00:04.00'"}},
      // Lines are searched for their end eight bytes at a time: ends at every
      // offset in those eight, and a last line without an end.
      {"LineEndsAtEveryOffset",
       "00:00:01.00,00:00:02.00\r\na\nbb\r\nccc\rdddd\neeeee\r\nffffff\rggggggg\nhhhhhhhh\r\niiiiiiiii\n"
       "00:00:03.00,00:00:04.00\nkkkkkkkkkkkkkkkkk",
       true,
       {{1000, 1000, "a\nbb\nccc\ndddd\neeeee\nffffff\nggggggg\nhhhhhhhh\niiiiiiiii"},
        {3000, 1000, "kkkkkkkkkkkkkkkkk"}}},
      {"BrokenTimeLineNumberAfterHeaderAndMark",
       "\xEF\xBB\xBF[INFORMATION]\r[SUBTITLE]\r\r00:00:01.00,00:00:02.00\rx\r1:2:3.4\r",
       true,
       {{1000, 1000, "x"}},
       {"skipped malformed time line 6: '1:2:3.4'"}},
      // "[DELAY]" frames move every start; 24 frames of 1001/24000 s are 1001 ms.
      {"DelayWithDefaultRatio", "[DELAY]24\n00:00:01.00,00:00:02.00\nx\n", true, {{2001, 1000, "x"}}},
      {"DelayWithGivenRatio",
       "[DELAY]24\n00:00:01.00,00:00:02.00\nx\n",
       true,
       {{1960, 1000, "x"}},
       {},
       FrameRatio{1, 25}},
      {"NegativeDelay", "[DELAY]-48\n00:00:10.00,00:00:12.00\nx\n", true, {{7998, 2000, "x"}}},
      {"LastDelayWins", "[DELAY]10\n[DELAY] 24\n00:00:01.00,00:00:02.00\nx\n", true, {{2001, 1000, "x"}}},
      {"DelayWithoutNumberIgnored",
       "[DELAY]    (time in frames\n00:00:01.00,00:00:02.00\nx\n",
       true,
       {{1000, 1000, "x"}}},
      // A byte-order mark left in the text is skipped.
      {"MarkBeforeTimeLine",
       "\xEF\xBB\xBF"
       "00:00:01.00,00:00:02.00\nx",
       true,
       {{1000, 1000, "x"}}},
      {"MarkBeforeHeader", "\xEF\xBB\xBF[STYLE]bd\n00:00:01.00,00:00:02.00\nx", true, {{1000, 1000, "<b>x</b>"}}},
  };
  return cases;
}

}  // namespace Kelvo::testing
