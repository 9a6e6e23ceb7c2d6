#include "sub/sub_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "recording_log.h"
#include "sub_cases.h"

namespace Kelvo {
namespace {

using testing::SubCase;

// The text in a block of exactly its length and a NUL, so that reading past
// it trips the address sanitizer.
struct TextBuffer {
  explicit TextBuffer(std::string_view bytes)
      : chars(new char[bytes.size() + 1]), length(static_cast<std::uint32_t>(bytes.size())) {
    std::memcpy(chars.get(), bytes.data(), bytes.size());
    chars[bytes.size()] = '\0';
  }
  std::optional<std::vector<SubEntry>> parse(FrameRatio ratio = kDefaultFrameRatio) {
    return parseSubText(chars.get(), length, ratio);
  }
  std::unique_ptr<char[]> chars;
  std::uint32_t length;
};

std::string_view textOf(const SubEntry& entry) {
  return std::string_view(reinterpret_cast<const char*>(entry.text.block.get()), entry.text.length);
}

class SubParserCase : public ::testing::TestWithParam<SubCase> {
 protected:
  void SetUp() override {
    setRecordingEnabled(true);
    clearRecordedMessages();
  }
};

TEST_P(SubParserCase, GivesTheEntriesInFileOrder) {
  const SubCase& row = GetParam();
  TextBuffer text(row.file);
  const auto entries = text.parse(row.ratio);

  ASSERT_EQ(entries.has_value(), row.opens);
  if (row.opens) {
    ASSERT_EQ(entries->size(), row.entries.size());
    for (std::size_t i = 0; i < row.entries.size(); ++i) {
      SCOPED_TRACE(i);
      const SubEntry& entry = (*entries)[i];
      EXPECT_EQ(entry.start, row.entries[i].start);
      EXPECT_EQ(entry.duration, row.entries[i].duration);
      EXPECT_EQ(textOf(entry), row.entries[i].text);
      EXPECT_EQ(entry.text.block[entry.text.length], 0);
    }
  }
  const auto messages = recordedMessages();
  ASSERT_EQ(messages.size(), row.logged.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i].category, "Container");
    EXPECT_EQ(messages[i].function, "Kelvo::SUBContainer::open");
    EXPECT_EQ(messages[i].line, kSkippedTimeLineLogLine);
    EXPECT_EQ(messages[i].format, "skipped malformed time line %u: '%s'");
    EXPECT_EQ(messages[i].text, row.logged[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, SubParserCase, ::testing::ValuesIn(testing::subCases()),
                         [](const ::testing::TestParamInfo<SubCase>& row) { return std::string(row.param.name); });

TEST(SubParser, SplitsTheTextInPlace) {
  TextBuffer text("00:00:01.00,00:00:02.00\r\nx\r\n");
  ASSERT_TRUE(text.parse().has_value());
  EXPECT_EQ(std::string_view(text.chars.get(), text.length),
            std::string_view("00:00:01.00,00:00:02.00\0\nx\0\n", text.length));
}

TEST(SubParser, TextEndsAtItsFirstNul) {
  TextBuffer text(
      std::string_view("00:00:01.00,00:00:02.00\nx\0"
                       "00:00:03.00,00:00:04.00\ny\n",
                       50));
  const auto entries = text.parse();
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ(textOf((*entries)[0]), "x");
}

TEST(FrameRatio, DefaultsStandInForAZero) {
  struct Row {
    std::uint32_t multiplier, divisor, wantMultiplier, wantDivisor;
  };
  for (const Row& row : {Row{1, 25, 1, 25}, Row{0, 25, 1001, 24000}, Row{1, 0, 1001, 24000}, Row{0, 0, 1001, 24000}}) {
    SCOPED_TRACE(::testing::Message() << row.multiplier << "/" << row.divisor);
    const FrameRatio ratio = frameRatioOrDefault(row.multiplier, row.divisor);
    EXPECT_EQ(ratio.multiplier, row.wantMultiplier);
    EXPECT_EQ(ratio.divisor, row.wantDivisor);
  }
}

TEST(FrameRatio, DelayIsExactAndKeepsItsLow32Bits) {
  struct Row {
    std::int32_t frames;
    FrameRatio ratio;
    std::uint32_t milliseconds;
  };
  const Row rows[] = {
      {0, kDefaultFrameRatio, 0},
      {24, kDefaultFrameRatio, 1001},
      {-48, kDefaultFrameRatio, 0u - 2002u},
      {1, kDefaultFrameRatio, 41},         // 41.708 truncates
      {-1, kDefaultFrameRatio, 0u - 41u},  // towards zero
      {24, FrameRatio{1, 25}, 960},
      // 2147483647 x 1000 x 4294967295 / 7 needs 104 bits.
      {2147483647, FrameRatio{4294967295u, 7}, 1840700412u},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.frames);
    EXPECT_EQ(delayMilliseconds(row.frames, row.ratio), row.milliseconds);
  }
}

// Every real SUB file parses; a few entries are pinned. The files are fed as
// their bytes: Windows-1252 text stays undecoded here.
class SubCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("SUB_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "SUB_SOURCE_DIR is not set";
    folder = std::filesystem::path(source) / ".." / "shared" / "corpus" / "real";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
    setRecordingEnabled(true);
    clearRecordedMessages();
  }

  std::vector<SubEntry> parse(const std::string& name) {
    std::ifstream in(folder / name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TextBuffer text(bytes);
    auto entries = text.parse();
    EXPECT_TRUE(entries.has_value()) << name;
    return entries ? std::move(*entries) : std::vector<SubEntry>();
  }

  std::filesystem::path folder;
};

TEST_F(SubCorpus, EveryFileGivesItsEntries) {
  // The entry counts the corpus lists for its files.
  const std::map<std::string, std::size_t> counts = {
      {"aeneas-sonnet-ascii-3digit-ms.sub", 15},         {"aeneas-sonnet-utf8-3digit-ms-end-subtitle.sub", 15},
      {"battlestar-galactica-s03e09-cp1252.sub", 336},   {"ffmpeginteropx-no-header-bom.sub", 2},
      {"ffmpeginteropx-wiki-example-header-bom.sub", 2}, {"gaupol-2007-doc-sample.sub", 10},
      {"gaupol-negative-times-italic-tags.sub", 10},     {"jubler-greek-ten-hours.sub", 3},
      {"jubler-multiline-text-without-br.sub", 3},       {"mantas-header-bom-black-colf.sub", 2},
      {"mantas-no-header-no-final-newline.sub", 2},      {"shared-mime-info-literal-blank-line-marker.sub", 2},
      {"subtitle-toolbox-crlf-accents.sub", 6},          {"subtitlesprinter-tiny-no-header.sub", 2},
      {"subtools-size-font-without-colf.sub", 6},        {"ums-annotated-header-br.sub", 2},
      {"ums-annotated-header-multiline.sub", 2},         {"zimaku-japanese-7digit-fractions-crlf.sub", 8},
  };
  std::size_t seen = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    if (file.path().extension() != ".sub") continue;
    const std::string name = file.path().filename().string();
    SCOPED_TRACE(name);
    const std::vector<SubEntry> entries = parse(name);
    EXPECT_GE(entries.size(), 1u);
    const auto count = counts.find(name);
    if (count != counts.end()) {
      EXPECT_EQ(entries.size(), count->second);
      ++seen;
    }
  }
  EXPECT_EQ(seen, counts.size());
  EXPECT_TRUE(recordedMessages().empty()) << "no real file has a broken time line";
}

TEST_F(SubCorpus, PinnedEntries) {
  struct Pin {
    const char* file;
    std::size_t index;
    std::uint32_t start;
    std::uint32_t duration;
    std::string_view text;
  };
  const Pin pins[] = {
      // Windows-1252, full header; "..." is ASCII here.
      {"battlestar-galactica-s03e09-cp1252.sub", 0, 20190, 2400,
       "<font face=\"Tahoma\" size=\"+2\" color=\"#FFFFFF\"><b>Previously on Battlestar Galactica...</b></font>"},
      // A byte-order mark glued to the first time line.
      {"ffmpeginteropx-no-header-bom.sub", 0, 275030, 3790, "Hello guys... please sit down..."},
      {"ffmpeginteropx-no-header-bom.sub", 1, 300190, 3280, "M. Franklin,\nare you crazy?"},
      // A mark before the header; a colour of digits.
      {"mantas-header-bom-black-colf.sub", 1, 3740480, 2020,
       "<font face=\"Arial\" size=\"+2\" color=\"#000000\"><b>Very good, Lieutenant.</b></font>"},
      // Three-digit fractions.
      {"aeneas-sonnet-ascii-3digit-ms.sub", 1, 2680, 3200, "From fairest creatures we desire increase,"},
      // Negative times.
      {"gaupol-negative-times-italic-tags.sub", 0, 0u - 6840u, 3990,
       "<font face=\"Sans\" size=\"-1\" color=\"#FFFFFF\"><b>I always wanted to leave my country\nand go somewhere "
       "else.</b></font>"},
      {"gaupol-negative-times-italic-tags.sub", 1, 0u - 1470u, 2420,
       "<font face=\"Sans\" size=\"-1\" color=\"#FFFFFF\"><b>I always wanted to come to France.</b></font>"},
      // Hours above 9, UTF-8 Greek.
      {"jubler-greek-ten-hours.sub", 2, 36000000, 1990,
       "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>ten hours "
       "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC</b></font>"},
      // No fraction before the comma, then seven-digit fractions.
      {"zimaku-japanese-7digit-fractions-crlf.sub", 0, 0, 6700,
       "\xE4\xBB\x8A\xE6\x97\xA5\xE3\x81\xAF\xE3\x80\x8C\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE3\x82\xB9\xE3\x83\xBC"
       "\xE3\x83\x91\xE3\x83\xBC\xE3\x81\xA8\xE7\x94\x9F\xE6\xB4\xBB\xE3\x80\x8D\xE3\x81\xAB\xE3\x81\xA4\xE3\x81\x84"
       "\xE3\x81\xA6\xE3\x81\x8A\xE8\xA9\xB1\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x99"
       "\xE3\x80\x82"},
      {"zimaku-japanese-7digit-fractions-crlf.sub", 1, 6700, 8366, {}},
      // Text lines without "[br]", and a literal "<blank line>" line.
      {"shared-mime-info-literal-blank-line-marker.sub", 0, 60100, 60100,
       "<font face=\"Times New Roman\" size=\"-4\" color=\"#FFFFFF\">Oh, no.\nThe eggs are "
       "hatching!\n<blank line></font>"},
  };
  for (const Pin& pin : pins) {
    SCOPED_TRACE(::testing::Message() << pin.file << " #" << pin.index);
    const std::vector<SubEntry> entries = parse(pin.file);
    ASSERT_GT(entries.size(), pin.index);
    EXPECT_EQ(entries[pin.index].start, pin.start);
    EXPECT_EQ(entries[pin.index].duration, pin.duration);
    if (!pin.text.empty()) {
      EXPECT_EQ(textOf(entries[pin.index]), pin.text);
    }
  }
}

}  // namespace
}  // namespace Kelvo
