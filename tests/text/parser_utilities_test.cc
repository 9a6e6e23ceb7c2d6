#include "text/parser_utilities.h"
#include "text/ucsdet_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_names.h"
#include "recording_log.h"
#include "temp_files.h"
#include "test_host.h"

namespace Kelvo {
namespace {

constexpr const char* kFunction = "Kelvo::ParserUtilities::readTextFile";

struct ReadResult {
  bool ok;
  std::string text;  // "unchanged" when the caller's text was left alone
};

ReadResult readPath(const std::string& path, ContainerOwner* owner, std::int32_t length) {
  String<unsigned char> text = String<unsigned char>::fromView("unchanged");
  const bool ok = ParserUtilities::readTextFile(String<unsigned char>::fromView(path), owner, &text, length);
  return {ok, std::string(reinterpret_cast<const char*>(text.chars), text.length)};
}

ReadResult readFile(const std::filesystem::path& path, ContainerOwner* owner, std::int32_t length) {
  return readPath(testing::utf8Of(path), owner, length);
}

class ReadTextFile : public ::testing::Test {
 protected:
  void SetUp() override { clearRecordedMessages(); }

  // The one message logged, as "line: text", or "" when nothing was.
  static std::string logged() {
    const auto messages = recordedMessages();
    if (messages.empty()) return "";
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].category, "Utilities");
    EXPECT_EQ(messages[0].function, kFunction);
    return std::to_string(messages[0].line) + ": " + messages[0].text;
  }

  testing::TempFolder folder;
  testing::FakeOwner owner;
};

struct ReadCase {
  const char* name;
  std::string bytes;                     // the whole file
  std::optional<bool> overrideEmbedded;  // "CodePage"/"OverrideEmbedded", unanswered when empty
  const char* codePage;                  // "CodePage"/"Name", unanswered when null
  std::int32_t length;
  bool ok;
  std::string text;  // the text handed back, or "unchanged"
  std::string log;   // "line: message", or "" for none
};

TEST_F(ReadTextFile, DecidesByTheSignatureThenTheCodePageThenDetectionThenTheBytes) {
  const std::string longFile(2000, 'x');
  const ReadCase cases[] = {
      {"Utf8SignatureDropped",
       "\xEF\xBB\xBF"
       "h\xC3\xA9llo",
       false, nullptr, -1, true, "h\xC3\xA9llo", ""},
      {"Utf16LeSignatureConverted",
       {"\xFF\xFE"
        "h\x00\xE9\x00",
        6},
       false,
       nullptr,
       -1,
       true,
       "h\xC3\xA9",
       ""},
      // Not searched for a signature, but not UTF-8 either: the detector
      // knows UTF-16 by its mark, which stays in the text.
      {"OverriddenSignatureKeptAsBytes",
       {"\xFF\xFE"
        "h\x00",
        4},
       true,
       nullptr,
       -1,
       true,
       "\xEF\xBB\xBF"
       "h",
       "327: Detected encoding UTF-16LE (confidence 100)\n"},
      {"CodePageConverts", "\xCF\xF0\xE8\xE2\xE5\xF2", std::nullopt, "windows-1251", -1, true,
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", ""},
      {"CodePageWithoutSignature", "caf\xE9", false, "windows-1252", -1, true, "caf\xC3\xA9", ""},
      {"SignatureWinsOverCodePage", "\xEF\xBB\xBF\xD0\x9F", false, "windows-1251", -1, true, "\xD0\x9F", ""},
      // With the override, a byte-order mark is decoded like any other bytes.
      {"OverriddenSignatureDecodedByCodePage",
       "\xEF\xBB\xBF"
       "a",
       true, "windows-1252", -1, true,
       "\xC3\xAF\xC2\xBB\xC2\xBF"
       "a",
       ""},
      {"ConvertedTextEndsAtFirstZero",
       {"A\x00\x00\x00"
        "B\x00",
        6},
       std::nullopt,
       "UTF-16LE",
       -1,
       true,
       "A",
       ""},
      {"RefusedCodePageFails", "abc", std::nullopt, "no-such-code-page", -1, false, "unchanged", ""},
      {"EmptyCodePageIsNone", "abc", std::nullopt, "", -1, true, "abc", ""},
      {"BytesPassWithZeros",
       {"ab\x00"
        "cd\n",
        6},
       std::nullopt,
       nullptr,
       -1,
       true,
       {"ab\x00"
        "cd\n",
        6},
       ""},
      // Too little text for a trusted detection: repaired.
      {"IllFormedBytesReplaced",
       "ab\xFF\xC0"
       "cd\xE2\x82",
       std::nullopt, nullptr, -1, true,
       "ab\xEF\xBF\xBD\xEF\xBF\xBD"
       "cd\xEF\xBF\xBD",
       "327: Detected encoding UTF-16BE (confidence 10)\n"},
      // The first character is judged before the repair.
      {"IllFormedStartFails",
       "\xFF"
       "abc",
       std::nullopt, nullptr, -1, false, "unchanged", "327: Detected encoding UTF-16BE (confidence 10)\n"},
      // Nothing fits the bytes at all: repaired, and nothing to log.
      {"NothingDetectedIsRepaired", "a\x81", std::nullopt, nullptr, -1, true, "a\xEF\xBF\xBD", ""},
      // No code page given, and the bytes are not UTF-8.
      {"UndeclaredCodePageDetected", "\xCF\xF0\xE8\xE2\xE5\xF2", std::nullopt, nullptr, -1, true,
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "327: Detected encoding windows-1251 (confidence 85)\n"},
      {"CodePageSettingWinsOverDetection", "\xCF\xF0\xE8\xE2\xE5\xF2", std::nullopt, "windows-1252", -1, true,
       "\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2", ""},
      {"SingleLetter", "a", std::nullopt, nullptr, -1, true, "a", ""},
      {"EmptyFileFails", "", false, "windows-1252", -1, false, "unchanged", ""},
      {"SignatureOnlyFails", "\xEF\xBB\xBF", false, nullptr, -1, false, "unchanged", ""},
      {"LimitReadsTheStart", longFile, std::nullopt, nullptr, 1024, true, std::string(1024, 'x'), ""},
      {"LimitPastTheEndFails", std::string(500, 'x'), std::nullopt, nullptr, 1024, false, "unchanged",
       "309: Tried to read 1024 bytes, got 500\n"},
      {"LimitOfExactlyTheFile", "abc", std::nullopt, nullptr, 3, true, "abc", ""},
      {"LengthBelowMinusOneFails", "abc", std::nullopt, nullptr, -2, false, "unchanged", ""},
  };
  // Rows that detect an encoding need ICU's charset detector, which the
  // Windows test machine lacks; they run wherever it is bound.
  const bool detectorBound = Quarnel::UCSDetLibrary::instance()->isUsable();
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.name);
    if (!detectorBound && std::string_view(row.log).find("Detected encoding") != std::string_view::npos) continue;
    clearRecordedMessages();
    testing::FakeOwner asked;
    if (row.overrideEmbedded) asked.setBoolean("CodePage/OverrideEmbedded", *row.overrideEmbedded);
    if (row.codePage != nullptr) asked.setText("CodePage/Name", row.codePage);
    const auto path = folder.write(std::string(row.name) + ".sub", row.bytes);
    const ReadResult result = readFile(path, &asked, row.length);
    EXPECT_EQ(result.ok, row.ok);
    EXPECT_EQ(result.text, row.text);
    EXPECT_EQ(logged(), row.log);
  }
}

TEST_F(ReadTextFile, AsksBothCodePageSettingsUnlessASignatureDecides) {
  owner.setBoolean("CodePage/OverrideEmbedded", false);
  ASSERT_TRUE(readFile(folder.write("signed.sub",
                                    "\xEF\xBB\xBF"
                                    "a"),
                       &owner, -1)
                  .ok);
  EXPECT_EQ(owner.settingsAsked, std::vector<std::string>{"CodePage/OverrideEmbedded"});
  owner.settingsAsked.clear();
  ASSERT_TRUE(readFile(folder.write("plain.sub", "a"), &owner, -1).ok);
  EXPECT_EQ(owner.settingsAsked, (std::vector<std::string>{"CodePage/OverrideEmbedded", "CodePage/Name"}));
  EXPECT_EQ(owner.kindsAsked, (std::vector<std::int32_t>{kSettingKindValue, kSettingKindValue, kSettingKindValue}));
}

TEST_F(ReadTextFile, AnswersOfAnotherTypeCountAsNotGiven) {
  owner.setText("CodePage/OverrideEmbedded", "false");
  owner.setBoolean("CodePage/Name", true);
  const ReadResult result = readFile(folder.write("a.sub",
                                                  "\xEF\xBB\xBF"
                                                  "a"),
                                     &owner, -1);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.text,
            "\xEF\xBB\xBF"
            "a");
}

TEST_F(ReadTextFile, WithoutAnOwnerTheBytesPass) {
  const ReadResult result = readFile(folder.write("a.sub",
                                                  "\xEF\xBB\xBF"
                                                  "a"),
                                     nullptr, -1);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.text,
            "\xEF\xBB\xBF"
            "a");
}

TEST_F(ReadTextFile, FilesThatCannotBeOpenedAreLogged) {
  const std::string paths[] = {
      testing::utf8Of(folder.path() / "missing.sub"),
      testing::utf8Of(folder.path()),                     // a folder
      testing::utf8Of(folder.path() / "x") + "\xFF.sub",  // not UTF-8
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    clearRecordedMessages();
    const ReadResult result = readPath(path, &owner, -1);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.text, "unchanged");
    EXPECT_EQ(logged(), "284: Failed to open file " + path + "\n");
  }
}

TEST_F(ReadTextFile, FileOfTwoGibibytesIsRefusedBeforeAllocating) {
  const auto path = folder.write("huge.sub", "");
  std::filesystem::resize_file(path, std::uint64_t{1} << 31);  // sparse: nothing is written
  const ReadResult result = readFile(path, &owner, -1);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.text, "unchanged");
  // The count is logged as a long; where that has 32 bits (Windows), the
  // largest long stands in for it.
  const std::string count = sizeof(long) == 8 ? "2147483649" : "2147483647";
  EXPECT_EQ(logged(), "298: Couldn't allocate " + count + " bytes\n");
}

TEST_F(ReadTextFile, NullTextIsRefused) {
  const auto path = folder.write("a.sub", "abc");
  EXPECT_FALSE(
      ParserUtilities::readTextFile(String<unsigned char>::fromView(testing::utf8Of(path)), &owner, nullptr, -1));
  EXPECT_EQ(logged(), "");
}

}  // namespace
}  // namespace Kelvo
