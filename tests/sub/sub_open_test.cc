// Opening and probing SUB files through the container, as a host does:
// real files on disk, named by file URLs, read through the text reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "container_fixture.h"
#include "file_names.h"
#include "sub_cases.h"
#include "temp_files.h"
#include "text/ucsdet_library.h"

namespace Kelvo::testing {
namespace {

// Collects the formats a probe reports missing.
class RecordingFormats final : public FormatList {
 public:
  void append(const StreamFormat& format) override { formats.push_back(format); }
  std::vector<StreamFormat> formats;
};

class SubOpen : public ContainerFixture {
 protected:
  Status open(const std::string& url) {
    String<unsigned char> text = String<unsigned char>::fromView(url);
    SourceDescriptor source{0, &text};
    return container->open(&source);
  }

  Status openFile(const std::string& name, std::string_view bytes) { return open(fileUrlOf(files.write(name, bytes))); }

  bool probe(const std::string& url, FormatList* formats = nullptr) {
    String<unsigned char> text = String<unsigned char>::fromView(url);
    SourceDescriptor source{0, &text};
    return container->probe(&source, 0, 0, formats);
  }

  // The entries of the only stream, as (start, duration, text), in stream order.
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> onlyStreamEntries() {
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> result;
    EXPECT_EQ(container->streams.size(), 1u);
    if (container->streams.empty()) return result;
    for (MediaChunk* chunk : container->streams.begin()->second->entries) {
      EXPECT_EQ(chunk->dataLength, chunk->bufferSize);
      EXPECT_EQ(chunk->payload[chunk->bufferSize], '\0');
      result.emplace_back(chunk->timestamp, chunk->duration, textOf(chunk));
    }
    return result;
  }

  TempFolder files;
};

class SubOpenCases : public SubOpen, public ::testing::WithParamInterface<SubCase> {};

// Every row of the shared table, as a real file opened through the container:
// the stream holds its entries sorted by start, or the open fails and adds
// nothing.
TEST_P(SubOpenCases, OpensAsTheParserReadsIt) {
  const SubCase& row = GetParam();
  if (row.ratio.multiplier != kDefaultFrameRatio.multiplier || row.ratio.divisor != kDefaultFrameRatio.divisor) {
    owner.setRatio("FrameRate/Ratio", static_cast<std::int32_t>(row.ratio.multiplier),
                   static_cast<std::int32_t>(row.ratio.divisor));
  }
  const Status status = openFile("case.sub", row.file);
  if (!row.opens) {
    EXPECT_EQ(status, kStatusFailure);
    EXPECT_TRUE(container->streams.empty());
    EXPECT_EQ(owner.identifiersHanded, 0);
    EXPECT_EQ(container->getUrl().chars, nullptr);
    return;
  }
  ASSERT_EQ(status, kStatusOk);
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> expected;
  for (const ExpectedEntry& entry : row.entries) expected.emplace_back(entry.start, entry.duration, entry.text);
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> actual = onlyStreamEntries();
  // Equal starts come out in no defined order.
  EXPECT_TRUE(std::is_sorted(actual.begin(), actual.end(),
                             [](const auto& a, const auto& b) { return std::get<0>(a) < std::get<0>(b); }));
  std::sort(expected.begin(), expected.end());
  std::sort(actual.begin(), actual.end());
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SubOpenCases, ::testing::ValuesIn(subCases()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SubOpen, LogsEveryEntryWithItsComposedText) {
  ASSERT_EQ(openFile("a.sub", "[STYLE]bd\n00:00:02.00,00:00:03.00\nlater\n00:00:01.00,00:00:01.50\nfirst\n"),
            kStatusOk);
  std::vector<Logged> entries;
  for (const Logged& message : logged()) {
    if (std::get<2>(message) == 395) entries.push_back(message);
  }
  const std::string format = "got subtitle start: %d duration: %d '%s'";
  const std::vector<Logged> expected = {
      {"Container", "Kelvo::SUBContainer::open", 395, format, "got subtitle start: 2000 duration: 1000 '<b>later</b>'"},
      {"Container", "Kelvo::SUBContainer::open", 395, format, "got subtitle start: 1000 duration: 500 '<b>first</b>'"},
  };
  EXPECT_EQ(entries, expected);
}

TEST_F(SubOpen, RefusedSourcesAddNothing) {
  const std::filesystem::path good = files.write("good.sub", "00:00:01.00,00:00:02.00\nx\n");
  files.write("upper.SUB", "00:00:01.00,00:00:02.00\nx\n");
  files.write("noextension", "00:00:01.00,00:00:02.00\nx\n");
  files.write("empty.sub", "");
  // Binary data such as a VobSub .sub begins with a zero byte: no text at all.
  files.write("vobsub.sub", std::string("\x00\x00\x01\xBA\x44\n00:00:01.00,00:00:02.00\nx\n", 32));
  const std::string folder = fileUrlOf(files.path());
  const struct {
    const char* name;
    std::string url;
  } rows[] = {
      {"upper-case extension", folder + "/upper.SUB"},
      {"query after the extension", fileUrlOf(good) + "?x=1"},
      {"no extension", folder + "/noextension"},
      {"no slash and no file", "good.sub"},
      {"another scheme", "http" + fileUrlOf(good).substr(4)},
      {"missing file", folder + "/missing.sub"},
      {"a folder", folder + "/"},
      {"an empty file", folder + "/empty.sub"},
      {"a text that ends at its first byte", folder + "/vobsub.sub"},
      {"empty URL", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(open(row.url), kStatusFailure);
    EXPECT_TRUE(container->streams.empty());
  }
  SourceDescriptor noUrl{0, nullptr};
  EXPECT_EQ(container->open(&noUrl), kStatusFailure);
  EXPECT_EQ(container->open(nullptr), kStatusFailure);
  EXPECT_EQ(owner.identifiersHanded, 0);
}

TEST_F(SubOpen, WithoutAnOwnerNothingIsOpened) {
  container->attach(nullptr, 0);
  EXPECT_EQ(openFile("a.sub", "00:00:01.00,00:00:02.00\nx\n"), kStatusFailure);
  EXPECT_TRUE(container->streams.empty());
}

TEST_F(SubOpen, StreamIsNamedAfterTheUrlsLastPart) {
  EXPECT_EQ(streamNameOf(String<unsigned char>::fromView("file:///films/night.sub")).toStdString(), "night.sub");
  EXPECT_EQ(streamNameOf(String<unsigned char>::fromView("night.sub")).toStdString(), "");
  EXPECT_EQ(streamNameOf(String<unsigned char>::fromView("file:///films/")).toStdString(), "");
  ASSERT_EQ(openFile("night.txt", "00:00:01.00,00:00:02.00\nx\n"), kStatusOk);
  EXPECT_EQ(container->streams.begin()->second->name.toStdString(), "night.txt");
}

TEST_F(SubOpen, RemembersTheSourceForItsUrlAndSize) {
  std::uint64_t size = 0;
  EXPECT_EQ(container->getSourceSize(&size), kStatusFailure);  // nothing opened yet
  const std::string bytes = "00:00:01.00,00:00:02.00\nsome text\n";
  const std::string url = fileUrlOf(files.write("a.sub", bytes));
  ASSERT_EQ(open(url), kStatusOk);
  EXPECT_EQ(container->getUrl().toStdString(), url);
  EXPECT_EQ(container->getSourceSize(&size), kStatusOk);
  EXPECT_EQ(size, bytes.size());
  EXPECT_EQ(container->getSourceSize(nullptr), kStatusFailure);
}

TEST_F(SubOpen, EachOpenAddsAStreamOfItsOwn) {
  ASSERT_EQ(openFile("a.sub", "00:00:01.00,00:00:02.00\na\n"), kStatusOk);
  ASSERT_EQ(openFile("b.sub", "00:00:03.00,00:00:04.00\nb\n00:00:05.00,00:00:06.00\nc\n"), kStatusOk);
  ASSERT_EQ(container->streams.size(), 2u);
  auto first = container->streams.begin();
  EXPECT_EQ(first->second->entries.size(), 1u);
  EXPECT_EQ(std::next(first)->second->entries.size(), 2u);
  EXPECT_NE(first->first, std::next(first)->first);
}

TEST_F(SubOpen, CodePageSettingDecodesTheFile) {
  owner.setText("CodePage/Name", "windows-1251");
  ASSERT_EQ(openFile("ru.sub", "00:00:01.00,00:00:02.00\n\xCF\xF0\xE8\xE2\xE5\xF2[br]\xEC\xE8\xF0\n"), kStatusOk);
  const auto entries = onlyStreamEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(std::get<2>(entries[0]), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n\xD0\xBC\xD0\xB8\xD1\x80");
}

// The real files of other authors, opened as a host with default settings
// opens them: byte-order marks honoured, one file with and without its code
// page.
class SubOpenCorpus : public SubOpen {
 protected:
  void SetUp() override {
    SubOpen::SetUp();
    const char* source = std::getenv("SUB_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "SUB_SOURCE_DIR is not set";
    folder = std::filesystem::canonical(std::filesystem::path(source) / "..") / "shared" / "corpus" / "real";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
    owner.setBoolean("CodePage/OverrideEmbedded", false);
  }

  std::filesystem::path folder;
};

TEST_F(SubOpenCorpus, EverySubFileOpensAndNegativesAreRefused) {
  int opened = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    if (file.path().extension() != ".sub") continue;
    SCOPED_TRACE(utf8Of(file.path().filename()));
    const std::size_t before = container->streams.size();
    EXPECT_EQ(open(fileUrlOf(file.path())), kStatusOk);
    EXPECT_EQ(container->streams.size(), before + 1);
    ++opened;
  }
  EXPECT_EQ(opened, 18);
  for (const auto& file : std::filesystem::directory_iterator(folder / "negative")) {
    SCOPED_TRACE(utf8Of(file.path().filename()));
    const std::size_t before = container->streams.size();
    EXPECT_EQ(open(fileUrlOf(file.path())), kStatusFailure);
    EXPECT_EQ(container->streams.size(), before);
  }
}

// A pin's code page: none configured, the file's detected.
constexpr const char* kDetected = "(detected)";

TEST_F(SubOpenCorpus, PinnedEntriesAfterDecoding) {
  struct Pin {
    const char* file;
    const char* codePage;  // null: none configured
    std::uint32_t start;   // the entry that starts here
    std::uint32_t duration;
    std::string_view text;
  };
  const Pin pins[] = {
      // Windows-1252 read with its code page: 0x85 is the ellipsis.
      {"battlestar-galactica-s03e09-cp1252.sub", "windows-1252", 935590, 2640,
       "<font face=\"Tahoma\" size=\"+2\" color=\"#FFFFFF\"><b>excuse me for just one moment. The finance\nminister "
       "just came by, and I should really\xE2\x80\xA6</b></font>"},
      // The same file with no code page configured: detected as windows-1252.
      {"battlestar-galactica-s03e09-cp1252.sub", kDetected, 935590, 2640,
       "<font face=\"Tahoma\" size=\"+2\" color=\"#FFFFFF\"><b>excuse me for just one moment. The finance\nminister "
       "just came by, and I should really\xE2\x80\xA6</b></font>"},
      {"battlestar-galactica-s03e09-cp1252.sub", kDetected, 42050, 2080,
       "<font face=\"Tahoma\" size=\"+2\" color=\"#FFFFFF\"><b>There's o\xC2\xADnly way that this mission "
       "ends...</b></font>"},
      // A byte-order mark before the header, honoured by the reader.
      {"mantas-header-bom-black-colf.sub", nullptr, 137440, 2940,
       "<font face=\"Arial\" size=\"+2\" color=\"#000000\"><b>Senator, we're making\nour final approach into "
       "Coruscant.</b></font>"},
      // A byte-order mark glued to the first time line.
      {"ffmpeginteropx-no-header-bom.sub", nullptr, 275030, 3790, "Hello guys... please sit down..."},
      // Three-digit fractions.
      {"aeneas-sonnet-ascii-3digit-ms.sub", nullptr, 2680, 3200, "From fairest creatures we desire increase,"},
      // Hours above 9.
      {"jubler-greek-ten-hours.sub", nullptr, 36000000, 1990,
       "<font face=\"Arial\" size=\"-1\" color=\"#FFFFFF\"><b>ten hours "
       "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC</b></font>"},
  };
  // Detection needs ICU's charset detector, which the Windows test machine
  // lacks; those pins run wherever it is bound.
  const bool detectorBound = Quarnel::UCSDetLibrary::instance()->isUsable();
  for (const Pin& pin : pins) {
    SCOPED_TRACE(pin.file);
    if (pin.codePage == kDetected && !detectorBound) continue;
    if (pin.codePage != nullptr && pin.codePage != kDetected) owner.setText("CodePage/Name", pin.codePage);
    ASSERT_EQ(open(fileUrlOf(folder / pin.file)), kStatusOk);
    owner.answers.erase("CodePage/Name");
    const auto& entries = std::prev(container->streams.end())->second->entries;
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const MediaChunk* chunk) { return chunk->timestamp == pin.start; });
    ASSERT_NE(found, entries.end());
    EXPECT_EQ((*found)->duration, pin.duration);
    EXPECT_EQ(textOf(*found), pin.text);
  }
}

TEST_F(SubOpenCorpus, NegativeTimesSortAfterEveryOtherStart) {
  ASSERT_EQ(open(fileUrlOf(folder / "gaupol-negative-times-italic-tags.sub")), kStatusOk);
  const auto& entries = container->streams.begin()->second->entries;
  ASSERT_EQ(entries.size(), 10u);
  EXPECT_EQ(entries[8]->timestamp, 0u - 6840u);
  EXPECT_EQ(entries[9]->timestamp, 0u - 1470u);
  EXPECT_LT(entries[7]->timestamp, 0x80000000u);
}

class SubProbe : public SubOpen {};

TEST_F(SubProbe, LooksForATimeLineInTheFirst1024Bytes) {
  const std::string timeLine = "00:00:01.00,00:00:02.00\n";
  const std::string header = "[COMMENT]" + std::string(60, 'c') + "\n";
  std::string longHeader;
  while (longHeader.size() <= 1024) longHeader += header;
  const struct {
    const char* name;
    std::string file;
    bool recognised;
  } rows[] = {
      {"time line early in a long file", "[INFORMATION]\n" + timeLine + "text\n" + std::string(2000, 'x') + "\n", true},
      {"time line only after 1024 bytes of header", longHeader + timeLine + "text\n", false},
      {"a short file is probed whole", timeLine + "text\n", true},
      {"only header lines", "[INFORMATION]\n[TITLE]x\n[END INFORMATION]\n", false},
      {"a MicroDVD file", "{1}{1}25.000\n{10}{20}Hello\n" + std::string(1100, 'x'), false},
      {"a broken time line is no time line", "00:00:01.00;00:00:02.00\n", false},
      {"a byte-order mark before the time line", "\xEF\xBB\xBF" + timeLine, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(probe(fileUrlOf(files.write("probe.sub", row.file))), row.recognised);
  }
  // The probe looks at no extension.
  EXPECT_TRUE(probe(fileUrlOf(files.write("probe.txt", timeLine))));
  EXPECT_TRUE(probe(fileUrlOf(files.write("probe.srt", timeLine))));
  EXPECT_FALSE(probe(fileUrlOf(files.path() / "missing.sub")));
  EXPECT_FALSE(probe("not a url"));
  EXPECT_TRUE(container->streams.empty());
}

TEST_F(SubProbe, HostWithoutTheFormatGetsTheMissingRecord) {
  const std::string url = fileUrlOf(files.write("a.sub", "00:00:01.00,00:00:02.00\nx\n"));
  RecordingFormats formats;
  EXPECT_TRUE(probe(url, &formats));
  EXPECT_TRUE(formats.formats.empty());
  EXPECT_EQ(host.formatsAsked, std::vector<std::string>{"UTF8"});

  host.supportsFormats = false;
  EXPECT_FALSE(probe(url, &formats));
  ASSERT_EQ(formats.formats.size(), 1u);
  const StreamFormat& record = formats.formats[0];
  EXPECT_EQ(std::string(record.code, 8), std::string("UTF8\0\0\0\0", 8));
  EXPECT_EQ(record.recordSize, 20u);
  EXPECT_EQ(record.unitSize, 4u);
  EXPECT_EQ(record.flags, 0u);
  EXPECT_FALSE(probe(url, nullptr));

  // No time line: the host is not asked and the list is untouched.
  RecordingFormats untouched;
  EXPECT_FALSE(probe(fileUrlOf(files.write("b.sub", "[INFORMATION]\n")), &untouched));
  EXPECT_TRUE(untouched.formats.empty());
  EXPECT_EQ(host.formatsAsked.size(), 3u);
}

TEST_F(SubProbe, FormatCodeWritesOnlyItsFirstFiveBytes) {
  char code[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  EXPECT_EQ(container->getFormatCode(code), code);
  EXPECT_EQ(std::string(code, 8), std::string("UTF8\0fgh", 8));
  EXPECT_EQ(container->parserHookB(7), kStatusFailure);
}

}  // namespace
}  // namespace Kelvo::testing
