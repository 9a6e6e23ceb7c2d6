// Detecting the code page of files that declare none: the detector on its
// own, and files read through ParserUtilities::readTextFile with no code-page
// setting, as a host without one reads them.
#include "text/charset_detector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "legacy_subtitles.h"
#include "recording_log.h"
#include "temp_files.h"
#include "text/encoding.h"
#include "text/parser_utilities.h"
#include "text/ucsdet_library.h"

namespace Kelvo {
namespace {

using testing::LegacySubtitles;

const std::uint8_t* bytesOf(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }
std::uint32_t sizeOf(const std::string& text) { return static_cast<std::uint32_t>(text.size()); }

// `utf8` written in `codePage` through ICU. A character the code page lacks
// becomes ICU's substitute, so the text would not read back equal.
std::string encodeIn(const char* codePage, const std::string& utf8) {
  char16_t* units = nullptr;
  std::uint32_t count = 0;
  EXPECT_TRUE(toUtf16("UTF-8", bytesOf(utf8), sizeOf(utf8), &units, &count));
  const std::unique_ptr<char16_t[]> ownedUnits(units);
  std::uint8_t* bytes = nullptr;
  std::uint32_t byteCount = 0;
  EXPECT_TRUE(fromUtf16(codePage, units, count, &bytes, &byteCount));
  const std::unique_ptr<std::uint8_t[]> ownedBytes(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), byteCount);
}

const LegacySubtitles& sampleNamed(std::string_view name) {
  for (const LegacySubtitles& sample : testing::legacySubtitles()) {
    if (sample.name == name) return sample;
  }
  ADD_FAILURE() << "no sample " << name;
  return testing::legacySubtitles()[0];
}

std::optional<DetectedCharset> detect(const std::string& text) {
  return detectCharset(bytesOf(text), sizeOf(text), *Quarnel::UCSDetLibrary::instance());
}

struct ReadResult {
  bool ok;
  std::string text;  // "unchanged" when the caller's text was left alone
  std::string log;   // "line: message" of each message logged, one per line
};

class ReadUndeclared : public ::testing::Test {
 protected:
  void SetUp() override { clearRecordedMessages(); }

  // Reads the file with no code-page setting answered.
  ReadResult read(const std::filesystem::path& path, const Quarnel::UCSDetLibrary* detector = nullptr) {
    clearRecordedMessages();
    String<unsigned char> text = String<unsigned char>::fromView("unchanged");
    const bool ok =
        ParserUtilities::readTextFile(String<unsigned char>::fromView(path.string()), nullptr, &text, -1, detector);
    std::string log;
    for (const RecordedMessage& message : recordedMessages()) {
      EXPECT_EQ(message.category, "Utilities");
      EXPECT_EQ(message.function, "Kelvo::ParserUtilities::readTextFile");
      log += std::to_string(message.line) + ": " + message.text;
    }
    return {ok, std::string(reinterpret_cast<const char*>(text.chars), text.length), log};
  }

  ReadResult readBytes(const std::string& bytes) { return read(folder.write("file.sub", bytes)); }

  testing::TempFolder folder;
};

class ReadLegacySubtitles : public ReadUndeclared, public ::testing::WithParamInterface<LegacySubtitles> {};

// Each realistic file, written in its legacy code page with no byte-order
// mark, reads back as the text it was written from.
TEST_P(ReadLegacySubtitles, DecodesTheDetectedCodePage) {
  const LegacySubtitles& sample = GetParam();
  ASSERT_GE(sample.entries.size(), 20u);
  const std::string original = testing::subFileOf(sample.entries, sample.entries.size());
  const std::string bytes = encodeIn(sample.codePage, original);
  ASSERT_FALSE(isStrictUtf8(bytesOf(bytes), sizeOf(bytes)));

  // The confidence ICU 72 gives each file.
  const std::map<std::string, int> confidences = {
      {"RussianWindows1251", 59}, {"RussianKoi8r", 40},      {"CzechWindows1250", 41},
      {"PolishWindows1250", 49},  {"FrenchWindows1252", 63}, {"GermanWindows1252", 85},
      {"GreekIso8859_7", 50},     {"JapaneseShiftJis", 100}, {"ChineseGbk", 100},
  };
  const ReadResult result = readBytes(bytes);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.text, original);
  EXPECT_EQ(result.log, "327: Detected encoding " + std::string(sample.detectedAs) + " (confidence " +
                            std::to_string(confidences.at(sample.name)) + ")\n");
}

INSTANTIATE_TEST_SUITE_P(Languages, ReadLegacySubtitles, ::testing::ValuesIn(testing::legacySubtitles()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ReadUndeclared, EnglishOpeningDoesNotOutvoteTheText) {
  // Judged whole, this file is ISO-8859-1 to the detector: the English
  // entries outweigh the three Russian ones.
  std::vector<std::string_view> entries(40, "Previously, on the night shift.");
  const auto& russian = sampleNamed("RussianWindows1251").entries;
  entries.insert(entries.end(), russian.begin(), russian.begin() + 3);
  const std::string original = testing::subFileOf(entries, entries.size());
  const ReadResult result = readBytes(encodeIn("windows-1251", original));
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.text, original);
  EXPECT_EQ(result.log, "327: Detected encoding windows-1251 (confidence 42)\n");
}

TEST_F(ReadUndeclared, BytesOf80To9FAfterTheSampleMakeItTheWindowsCodePage) {
  // The file opens with entries that hold no byte 80-9F in their code page,
  // enough to fill the detector's sample, which it then takes for the ISO
  // code page. The entries that follow hold such bytes (œ, …, š, ž): letters
  // of the Windows code page, not C1 control characters.
  const struct {
    const char* sample;
    const char* iso;
    const char* log;
  } rows[] = {
      {"FrenchWindows1252", "ISO-8859-1", "327: Detected encoding windows-1252 (confidence 63)\n"},
      {"CzechWindows1250", "ISO-8859-2", "327: Detected encoding windows-1250 (confidence 45)\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.sample);
    const LegacySubtitles& sample = sampleNamed(row.sample);
    std::vector<std::string_view> opening;
    for (std::string_view entry : sample.entries) {
      const std::string bytes = encodeIn(sample.codePage, std::string(entry));
      if (std::none_of(bytes.begin(), bytes.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte >= 0x80 && byte < 0xA0;
          })) {
        opening.push_back(entry);
      }
    }
    const std::string openingBytes = encodeIn(sample.codePage, testing::subFileOf(opening, opening.size()));
    const auto openingAlone = detect(openingBytes);
    ASSERT_TRUE(openingAlone.has_value());
    EXPECT_EQ(openingAlone->name, row.iso);

    std::vector<std::string_view> entries = opening;
    entries.insert(entries.end(), sample.entries.begin(), sample.entries.end());
    const std::string original = testing::subFileOf(entries, entries.size());
    const ReadResult result = readBytes(encodeIn(sample.codePage, original));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.text, original);
    EXPECT_EQ(result.log, row.log);
  }
}

TEST_F(ReadUndeclared, DamagedUtf8IsRepairedNotDetected) {
  // One stray windows-1252 byte in a UTF-8 file: the detector would take the
  // whole file for a single-byte code page and garble every other letter.
  for (const char* language : {"FrenchWindows1252", "ChineseGbk"}) {
    SCOPED_TRACE(language);
    const LegacySubtitles& sample = sampleNamed(language);
    std::string file = testing::subFileOf(sample.entries, sample.entries.size());
    const std::size_t middle = file.find("\n\n", file.size() / 2) + 1;
    std::string expected = file;
    file.insert(middle, "\xE9");
    expected.insert(middle, "\xEF\xBF\xBD");
    EXPECT_FALSE(detect(file).has_value());
    const ReadResult result = readBytes(file);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.text, expected);
    EXPECT_EQ(result.log, "");
  }
}

TEST_F(ReadUndeclared, WithoutTheDetectorLibraryBytesAreRepaired) {
  const Quarnel::UCSDetLibrary missing("/nonexistent/libicui18n.so.72", SUB_ICU_SUFFIX);
  const LegacySubtitles& russian = sampleNamed("RussianWindows1251");
  const std::string bytes = encodeIn(russian.codePage, testing::subFileOf(russian.entries, russian.entries.size()));
  EXPECT_FALSE(detectCharset(bytesOf(bytes), sizeOf(bytes), missing).has_value());
  const ReadResult result = read(folder.write("ru.sub", bytes), &missing);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.text, replaceIllFormedUtf8(bytesOf(bytes), sizeOf(bytes)));
  EXPECT_EQ(result.log, "");
}

TEST(DetectCharset, Utf8IsNeverSentToTheDetector) {
  const std::string cases[] = {
      "", "00:00:01.00,00:00:02.00\nplain ASCII\n",
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",      // "Привет" in UTF-8
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\xD0",  // cut in its last character
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(detect(text).has_value());
  }
  EXPECT_FALSE(detectCharset(nullptr, 4, *Quarnel::UCSDetLibrary::instance()).has_value());
}

TEST(DetectCharset, TrustsConfidentDetectionsThatIcuCanDecode) {
  const struct {
    DetectedCharset detected;
    bool trusted;
  } rows[] = {
      {{"windows-1251", kTrustedCharsetConfidence}, true},
      {{"windows-1251", kTrustedCharsetConfidence - 1}, false},
      {{"KOI8-R", 100}, true},
      {{"IBM420_ltr", 100}, false},  // named by the detector, unknown to the converters
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.detected.name + " " + std::to_string(row.detected.confidence));
    EXPECT_EQ(isTrusted(row.detected), row.trusted);
  }
}

// The real files of other authors that come in a legacy code page.
class ReadCorpus : public ReadUndeclared {
 protected:
  void SetUp() override {
    ReadUndeclared::SetUp();
    const char* source = std::getenv("SUB_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "SUB_SOURCE_DIR is not set";
    corpus = std::filesystem::canonical(std::filesystem::path(source) / "..") / "shared" / "corpus" / "real";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  }

  static std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path corpus;
};

TEST_F(ReadCorpus, LegacyCodePageFilesReadAsTheirCodePage) {
  const struct {
    const char* file;
    const char* codePage;
    const char* log;
    std::string_view mustHold;  // a decoded word that shows the code page
  } rows[] = {
      // English with four ellipses (0x85) and a soft hyphen (0xAD).
      {"battlestar-galactica-s03e09-cp1252.sub", "windows-1252",
       "327: Detected encoding windows-1252 (confidence 56)\n", "I should really\xE2\x80\xA6"},
      // French whose first lines hold no byte 80-9F: ISO-8859-1 to the detector.
      {"negative/alexpoint-freaks-microdvd-cp1252-french.sub", "windows-1252",
       "327: Detected encoding windows-1252 (confidence 80)\n", "\xC5\x93"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string bytes = contentsOf(corpus / row.file);
    const ReadResult result = read(corpus / row.file);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.text == convertToUtf8(row.codePage, bytesOf(bytes), sizeOf(bytes)));
    EXPECT_NE(result.text.find(row.mustHold), std::string::npos);
    EXPECT_EQ(result.text.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(result.log, row.log);
  }
}

// Slovak, for which the detector has no profile of its own, needs about 900
// bytes of text to be told from windows-1252 (measured); the sample is kept
// smaller so that detecting stays cheaper than converting. Letters the two
// code pages share (š, ž, á, é) come out right, the others (č, ľ) do not.
TEST_F(ReadCorpus, SlovakInWindows1250IsTakenForWindows1252FromTheSample) {
  const auto path = corpus / "negative/swiftsubtitles-microdvd-cp1250-crlf.sub";
  const std::string bytes = contentsOf(path);
  const ReadResult result = read(path);
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(result.text == convertToUtf8("windows-1252", bytesOf(bytes), sizeOf(bytes)));
  EXPECT_NE(result.text.find("Prelo\xC5\xBEil"), std::string::npos);  // "Preložil"
  EXPECT_NE(result.text.find("vy\xC3\xA8isti"), std::string::npos);   // "vyčistiť", č as è
  EXPECT_EQ(result.log, "327: Detected encoding windows-1252 (confidence 39)\n");
}

}  // namespace
}  // namespace Kelvo
