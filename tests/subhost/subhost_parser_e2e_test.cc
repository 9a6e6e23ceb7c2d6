// subhost through the built module's SUB parser: golden outputs of the
// examples in every format, every example and corpus file read whole in
// time order, probe answers, seeking, reading backwards, playing, and the
// host's settings reaching the parser. Expected outputs follow the format's
// rules: a time's fraction is a decimal fraction of the second.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "exit_status.h"
#include "file_url.h"
#include "stream_reading.h"
#include "subhost_runner.h"
#include "temp_files.h"

namespace Kelvo {
namespace {

using testing::readFile;
using testing::runSubhostWith;
using testing::SubhostRun;
using testing::TempFolder;

const std::filesystem::path kProject = SUB_PROJECT_DIR;

struct Chunk {
  std::uint32_t timestamp;
  std::uint32_t duration;
  bool operator==(const Chunk&) const = default;
};

// The chunks of the one stream that `dump --format json` printed.
std::vector<Chunk> dumpedChunks(const SubhostRun& run) {
  std::vector<Chunk> chunks;
  const auto document = nlohmann::json::parse(run.out);
  EXPECT_EQ(document["streams"].size(), 1u);
  for (const auto& chunk : document["streams"][0]["chunks"]) {
    chunks.push_back(Chunk{chunk["timestamp"].get<std::uint32_t>(), chunk["duration"].get<std::uint32_t>()});
  }
  return chunks;
}

std::vector<Chunk> dump(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"dump", "--format", "json"});
  const SubhostRun run = runSubhostWith(arguments);
  EXPECT_EQ(run.status, subhost::kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  return run.status == subhost::kExitSuccess ? dumpedChunks(run) : std::vector<Chunk>();
}

TEST(SubhostGolden, ExamplesInEveryFormat) {
  struct Example {
    const char* name;
    std::vector<std::string> options;
  };
  const Example examples[] = {
      {"basic", {}},
      {"multiline-utf8", {}},
      {"cyrillic-cp1251", {"--codepage", "windows-1251"}},
  };
  for (const Example& example : examples) {
    for (const char* format : {"text", "json", "srt", "vtt"}) {
      SCOPED_TRACE(std::string(example.name) + "." + format);
      const std::string file = "examples/" + std::string(example.name) + ".sub";
      std::vector<std::string> arguments{"dump", "--format", format, file};
      arguments.insert(arguments.end(), example.options.begin(), example.options.end());
      const SubhostRun run = runSubhostWith(arguments);
      std::string expected =
          readFile(std::filesystem::path(SUB_GOLDEN_DIR) / (std::string(example.name) + "." + format));
      if (const auto at = expected.find("@SOURCE@"); at != std::string::npos) {
        expected.replace(at, 8, subhost::toFileUrl(file, kProject));
      }
      EXPECT_EQ(run.status, subhost::kExitSuccess);
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.out, expected);
    }
  }
}

TEST(SubhostDump, EveryExampleDeliversWellFormedChunksInTimeOrder) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kProject / "examples")) {
    if (entry.path().extension() != ".sub") continue;
    SCOPED_TRACE(entry.path().string());
    const SubhostRun run = runSubhostWith({"dump", "--format", "json", entry.path().string()});
    ASSERT_EQ(run.status, subhost::kExitSuccess) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    ASSERT_EQ(document["streams"].size(), 1u);
    EXPECT_TRUE(document["streams"][0]["selected"].get<bool>());
    const auto& chunks = document["streams"][0]["chunks"];
    EXPECT_FALSE(chunks.empty());
    std::uint32_t previous = 0;
    for (const auto& chunk : chunks) {
      EXPECT_GE(chunk["timestamp"].get<std::uint32_t>(), previous);
      previous = chunk["timestamp"].get<std::uint32_t>();
      EXPECT_FALSE(chunk["text"].get<std::string>().empty());
    }
    ++files;
  }
  EXPECT_GE(files, 3);
}

TEST(SubhostDump, EveryCorpusFileDeliversItsEntriesInTimeOrder) {
  const std::filesystem::path corpus = SUB_CORPUS_DIR;
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  struct Expected {
    std::size_t count;
    Chunk first;
    Chunk last;
  };
  // Counted from the files; -00:00:06.84 and -00:00:01.47 start before 0, so
  // no media clock reaches them and the gaupol file delivers 8 of its 10.
  const std::map<std::string, Expected> expected = {
      {"aeneas-sonnet-ascii-3digit-ms.sub", {15, {0, 2680}, {48080, 5160}}},
      {"aeneas-sonnet-utf8-3digit-ms-end-subtitle.sub", {15, {0, 2680}, {48520, 4720}}},
      {"battlestar-galactica-s03e09-cp1252.sub", {336, {20190, 2400}, {2533160, 2070}}},
      {"ffmpeginteropx-no-header-bom.sub", {2, {275030, 3790}, {300190, 3280}}},
      {"ffmpeginteropx-wiki-example-header-bom.sub", {2, {60100, 60100}, {120300, 60100}}},
      {"gaupol-2007-doc-sample.sub", {10, {59190, 4010}, {98760, 3350}}},
      {"gaupol-negative-times-italic-tags.sub", {8, {950, 2410}, {32560, 3340}}},
      {"jubler-greek-ten-hours.sub", {3, {0, 1230}, {36000000, 1990}}},
      {"jubler-multiline-text-without-br.sub", {3, {0, 1230}, {36000000, 1990}}},
      {"mantas-header-bom-black-colf.sub", {2, {137440, 2940}, {3740480, 2020}}},
      {"mantas-no-header-no-final-newline.sub", {2, {137400, 3000}, {3740500, 2000}}},
      {"shared-mime-info-literal-blank-line-marker.sub", {2, {60100, 60100}, {120300, 60100}}},
      {"subtitle-toolbox-crlf-accents.sub", {6, {1500, 2500}, {3600000, 3500}}},
      {"subtitlesprinter-tiny-no-header.sub", {2, {30, 1790}, {2190, 1280}}},
      {"subtools-size-font-without-colf.sub", {6, {22500, 1600}, {33900, 900}}},
      {"ums-annotated-header-br.sub", {2, {60100, 60100}, {120300, 60100}}},
      {"ums-annotated-header-multiline.sub", {2, {60100, 60100}, {120300, 60100}}},
      {"zimaku-japanese-7digit-fractions-crlf.sub", {8, {0, 6700}, {67733, 9900}}},
  };
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().extension() != ".sub") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const auto found = expected.find(name);
    ASSERT_NE(found, expected.end()) << "a corpus file without expectations";
    ++files;
    const SubhostRun run = runSubhostWith({"dump", "--format", "json", entry.path().string()});
    ASSERT_EQ(run.status, subhost::kExitSuccess) << run.err;
    const bool unreachable = name == "gaupol-negative-times-italic-tags.sub";
    EXPECT_EQ(run.err, unreachable ? std::string("subhost: stream 2: ") + subhost::kUnreachableEntries + "\n" : "");
    const std::vector<Chunk> chunks = dumpedChunks(run);
    ASSERT_EQ(chunks.size(), found->second.count);
    EXPECT_EQ(chunks.front(), found->second.first);
    EXPECT_EQ(chunks.back(), found->second.last);
    for (std::size_t i = 1; i < chunks.size(); ++i) EXPECT_LE(chunks[i - 1].timestamp, chunks[i].timestamp) << i;
  }
  EXPECT_EQ(files, expected.size());
}

TEST(SubhostProbe, RecognisesTheExamplesAndNamesTheMissingFormat) {
  const SubhostRun run = runSubhostWith({"probe", "examples/basic.sub", "examples/multiline-utf8.sub"});
  EXPECT_EQ(run.status, subhost::kExitSuccess);
  EXPECT_EQ(run.out, "examples/basic.sub: SUB subtitles\nexamples/multiline-utf8.sub: SUB subtitles\n");

  const SubhostRun mixed = runSubhostWith({"probe", "examples/basic.sub", "tests/subhost/data/microdvd.sub"});
  EXPECT_EQ(mixed.status, subhost::kExitRefused);
  EXPECT_EQ(mixed.out, "examples/basic.sub: SUB subtitles\ntests/subhost/data/microdvd.sub: not recognised\n");

  const SubhostRun lacking = runSubhostWith({"probe", "--no-utf8", "examples/basic.sub"});
  EXPECT_EQ(lacking.status, subhost::kExitRefused);
  EXPECT_EQ(
      lacking.out,
      "examples/basic.sub: SUB subtitles in a format the host lacks: UTF8 (record size 20, unit size 4, flags 0)\n");
  EXPECT_EQ(lacking.err, "");
}

TEST(SubhostDump, AHostWithoutTheFormatStillOpensAndShowsTheProbesAnswer) {
  const SubhostRun run = runSubhostWith({"dump", "--no-utf8", "--format", "json", "examples/basic.sub"});
  ASSERT_EQ(run.status, subhost::kExitSuccess) << run.err;
  const auto document = nlohmann::json::parse(run.out);
  EXPECT_FALSE(document["probe"].get<bool>());
  EXPECT_EQ(document["streams"][0]["chunks"].size(), 3u);
}

TEST(SubhostDump, FromAndReverseSeekAndReadInTheirDirection) {
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::vector<Chunk> chunks;
  };
  const Case cases[] = {
      {"from inside the second entry's time", {"--from", "4300"}, {{4200, 2550}, {7000, 2050}}},
      {"from just after the second entry", {"--from", "6800"}, {{7000, 2050}}},
      {"from after the last entry", {"--from", "60000"}, {}},
      {"backwards from the end", {"--reverse"}, {{7000, 2050}, {4200, 2550}, {1000, 2500}}},
      {"backwards from a start", {"--reverse", "--from", "7000"}, {{4200, 2550}, {1000, 2500}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> arguments = c.options;
    arguments.push_back("examples/basic.sub");
    EXPECT_EQ(dump(arguments), c.chunks);
  }
}

TEST(SubhostDump, SettingsReachTheParser) {
  TempFolder folder;
  // 25 frames: 1000 ms at 25 frames per second, 1042 ms at the default 24000/1001.
  const std::string delayed = folder.write("delayed.sub", "[DELAY]25\n00:00:01.00,00:00:02.00\nHello\n").string();
  EXPECT_EQ(dump({delayed, "--frame-rate", "25"}), (std::vector<Chunk>{{2000, 1000}}));
  EXPECT_EQ(dump({delayed}), (std::vector<Chunk>{{2042, 1000}}));

  // A byte-order mark wins over the code page unless --override-embedded.
  const std::string marked = folder
                                 .write("marked.sub",
                                        "\xEF\xBB\xBF"
                                        "00:00:01.00,00:00:02.00\n\xC3\x9C"
                                        "ber\n")
                                 .string();
  const SubhostRun honoured = runSubhostWith({"dump", "--codepage", "windows-1251", "--format", "json", marked});
  ASSERT_EQ(honoured.status, subhost::kExitSuccess) << honoured.err;
  EXPECT_EQ(nlohmann::json::parse(honoured.out)["streams"][0]["chunks"][0]["text"],
            "\xC3\x9C"
            "ber");
  const SubhostRun overridden = runSubhostWith({"dump", "--codepage", "windows-1251", "--override-embedded", marked});
  EXPECT_EQ(overridden.status, subhost::kExitRefused);
  EXPECT_EQ(overridden.err, "subhost: " + marked + ": the plug-in refused the source\n");
}

TEST(SubhostPlay, ShowsEachSubtitleInOrderWithItsTimes) {
  const SubhostRun plain = runSubhostWith({"play", "--speed", "1000000", "examples/basic.sub"});
  EXPECT_EQ(plain.status, subhost::kExitSuccess) << plain.err;
  EXPECT_EQ(plain.out,
            "00:00:01.000 --> 00:00:03.500\nGood morning!\nLovely day, isn't it?\n\n"
            "00:00:04.200 --> 00:00:06.750\nIt is. Shall we walk to the pond?\n\n"
            "00:00:07.000 --> 00:00:09.050\nAfter you.\n\n");

  const SubhostRun from = runSubhostWith({"play", "--speed", "1000000", "--from", "4300", "examples/basic.sub"});
  EXPECT_EQ(from.out,
            "00:00:04.200 --> 00:00:06.750\nIt is. Shall we walk to the pond?\n\n"
            "00:00:07.000 --> 00:00:09.050\nAfter you.\n\n");

  const SubhostRun terminal = runSubhostWith({"play", "--speed", "1000000", "examples/multiline-utf8.sub"}, true);
  EXPECT_EQ(terminal.status, subhost::kExitSuccess);
  const std::string cyan = "\x1b[38;2;0;255;255m";
  EXPECT_EQ(terminal.out,
            "00:00:00.500 --> 00:00:02.000\n" + cyan + "Café, crème brûlée,\nand a croissant.\x1b[39m\x1b[0m\n\n" +
                "00:00:02.500 --> 00:00:05.250\n" + cyan +
                "— Wohin fährt der Zug?\n— Nach München, über Nürnberg.\x1b[39m\x1b[0m\n\n" +
                "00:00:06.000 --> 00:00:08.400\n" + cyan +
                "Καλημέρα!\nおはようございます。\nДоброе утро!\x1b[39m\x1b[0m\n\n" + "00:01:10.050 --> 00:01:12.000\n" +
                cyan + "Platform 9¾ —\n\nmind the gap.\x1b[39m\x1b[0m\n\n");
}

}  // namespace
}  // namespace Kelvo
