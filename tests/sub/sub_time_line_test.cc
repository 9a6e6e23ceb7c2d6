#include "sub/sub_time_line.h"

#include <gtest/gtest.h>

#include <string_view>

namespace Kelvo {
namespace {

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
