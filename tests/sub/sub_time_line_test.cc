#include "sub/sub_time_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace Kelvo {
namespace {

struct TimeLineCase {
  const char* name;
  std::string_view line;
  bool reads;
  std::uint32_t start;
  std::uint32_t end;
};

// The forms a time line takes: each time's own fraction form, signs and
// white space before the numbers, and a line that ends inside the second time.
TEST(ReadTimeLine, ReadsEachFormOfATimeLine) {
  const TimeLineCase rows[] = {
      {"TwoDigitFields", "00:00:01.00,00:00:02.50", true, 1000, 2500},
      {"ShortFieldsAndTrailingText", "1:2:3.4,5:6:7.8 and more", true, 3723400, 18367800},
      {"HoursWrapAround", "99999999999:0:0.0,0:0:0.0", true, 3068989824u, 0},
      {"SpaceBeforeTheSecondTime", "00:00:01.00, 00:00:02.00", true, 1000, 2000},
      {"NegativeSecondTime", "00:00:01.00,-00:00:02.00", true, 1000, 4294965296u},
      {"SignedFraction", "00:00:01.+5,00:00:02.00", true, 1500, 2000},
      {"FirstTimeWithoutFraction", "00:00:01,00:00:02.5", true, 1000, 2500},
      {"SecondTimeWithoutFraction", "00:00:01.5,00:00:02", true, 1500, 2000},
      {"CommaFractions", "00:01:37,39,00:01:39,76", true, 97390, 99760},
      {"LineEndsAfterTheSecondPoint", std::string_view("00:00:01.00,00:00:02.50", 21), true, 1000, 2000},
      {"BrokenSeparator", "00:00:01.00;00:00:02.00", false, 0, 0},
      {"OneTimeOnly", "12:30:00.5 words", false, 0, 0},
  };
  for (const TimeLineCase& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<SubTimes> times = readTimeLine(row.line);
    ASSERT_EQ(times.has_value(), row.reads);
    if (!row.reads) continue;
    EXPECT_EQ(times->start, row.start);
    EXPECT_EQ(times->end, row.end);
  }
}

struct ProbeCase {
  const char* name;
  std::string_view text;
  bool found;
};

TEST(ContainsTimeLine, LooksAtEveryLineInOrder) {
  const ProbeCase rows[] = {
      {"OneTimeLine", "00:00:01.00,00:00:02.00", true},
      {"AfterHeaderWithCrEndings", "[INFORMATION]\r[SUBTITLE]\r00:00:01.00,00:00:02.00\rx\r", true},
      {"GluedToAByteOrderMark",
       "\xEF\xBB\xBF"
       "00:00:01.00,00:00:02.00\r\nx",
       true},
      {"WithoutFractions", "1:2:3,4:5:6\n", true},
      {"CommaForms", "x\n00:01:37,39,00:01:39,76\n", true},
      {"OnlyHeaderLines", "[INFORMATION]\n[COLF]&HFFFFFF\n[SUBTITLE]\n", false},
      {"OnlyBrokenTimeLine", "00:00:01.00;00:00:02.00\n", false},
      {"MicroDvd", "{1}{1}29.970\n{10}{20}Hello\n", false},
      {"Srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n", false},
      {"CutByTheSample", "[SUBTITLE]\n00:00:01.00,00:0", false},
      {"AfterANul",
       std::string_view("x\n\0"
                        "00:00:01.00,00:00:02.00\n",
                        27),
       false},
      {"Empty", "", false},
  };
  for (const ProbeCase& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(containsTimeLine(row.text), row.found);
  }
}

}  // namespace
}  // namespace Kelvo
