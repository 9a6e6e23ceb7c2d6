// Hostile sources, end to end through the built module: subhost probes and
// dumps each, and the reference host's session opens each URL. Every row ends
// in a clean refusal or in the correct chunks; the sanitizer builds run the
// same rows and see any crash or leak. The big files are made here, in a
// temporary folder, and go with it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "exit_status.h"
#include "file_url.h"
#include "plugin_session.h"
#include "subhost_runner.h"
#include "temp_files.h"

namespace Kelvo {
namespace {

using testing::runSubhostWith;
using testing::SubhostRun;
using testing::TempFolder;

constexpr const char* kRefused = "the plug-in refused the source";

struct Chunk {
  std::uint32_t timestamp;
  std::uint32_t duration;
  std::string text;
  bool operator==(const Chunk&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Chunk& chunk) {
  return out << "{" << chunk.timestamp << ", " << chunk.duration << ", \"" << chunk.text << "\"}";
}

// `count` copies of `line`.
std::string repeated(const std::string& line, std::size_t count) {
  std::string text;
  text.reserve(line.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += line;
  return text;
}

// One hostile file: its bytes, and what subhost makes of it.
struct FileCase {
  std::string name;
  std::string bytes;
  std::vector<std::string> options;  // subhost's host settings
  bool recognised;                   // probe's answer
  bool opens;                        // dump's: the chunks below, or a refusal
  std::vector<Chunk> chunks;
};

// The chunks of the one stream that `dump --format json` printed.
std::vector<Chunk> dumpedChunks(const std::string& json) {
  std::vector<Chunk> chunks;
  const auto document = nlohmann::json::parse(json);
  EXPECT_EQ(document["streams"].size(), 1u);
  for (const auto& chunk : document["streams"][0]["chunks"]) {
    chunks.push_back(Chunk{chunk["timestamp"].get<std::uint32_t>(), chunk["duration"].get<std::uint32_t>(),
                           chunk["text"].get<std::string>()});
  }
  return chunks;
}

// Probes and dumps `file` with `options`, and checks the answers against the row.
void expectHandled(const std::string& file, const FileCase& row) {
  std::vector<std::string> probe{"probe"};
  probe.insert(probe.end(), row.options.begin(), row.options.end());
  probe.push_back(file);
  const SubhostRun probed = runSubhostWith(probe);
  EXPECT_EQ(probed.status, row.recognised ? subhost::kExitSuccess : subhost::kExitRefused);
  EXPECT_EQ(probed.out, file + (row.recognised ? ": SUB subtitles\n" : ": not recognised\n"));
  EXPECT_EQ(probed.err, "");

  std::vector<std::string> dump{"dump", "--format", "json"};
  dump.insert(dump.end(), row.options.begin(), row.options.end());
  dump.push_back(file);
  const SubhostRun dumped = runSubhostWith(dump);
  if (!row.opens) {
    EXPECT_EQ(dumped.status, subhost::kExitRefused);
    EXPECT_EQ(dumped.out, "");
    EXPECT_EQ(dumped.err, "subhost: " + file + ": " + kRefused + "\n");
    return;
  }
  ASSERT_EQ(dumped.status, subhost::kExitSuccess) << dumped.err;
  EXPECT_EQ(dumped.err, "");
  EXPECT_EQ(dumpedChunks(dumped.out), row.chunks);
}

const std::string kTimeLine = "00:00:01.00,00:00:02.50\n";
const Chunk kHello{1000, 1500, "Hello"};

TEST(HostileInput, FilesEndInARefusalOrTheirChunks) {
  std::string random(64 * 1024, '\0');
  std::mt19937 generator(8);
  for (char& byte : random) byte = static_cast<char>(generator());
  // MPEG program stream packs, as a VobSub .sub holds them.
  std::string vobSub;
  for (int pack = 0; pack < 4; ++pack) {
    vobSub += std::string("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14);
    vobSub += std::string("\x00\x00\x01\xBD\x07\xEC\x81\x80\x05\x21\x00\x01\x00\x01\x20", 15);
    vobSub += std::string(2020, '\xFF');
  }
  std::u16string wide = u"00:00:01.00,00:00:02.50\nHello\n";
  const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);

  const std::vector<FileCase> cases = {
      {"random bytes", random, {}, false, false, {}},
      {"VobSub packs", vobSub, {}, false, false, {}},
      {"MicroDVD", "{1}{25}29.970\n{26}{75}Hello there!|General Kenobi.\n", {}, false, false, {}},
      {"SRT",
       "1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nBye\n",
       {},
       false,
       false,
       {}},
      // Without a code page the bytes pass as they are, and the text ends at the first zero.
      {"UTF-16 without a byte-order mark", utf16, {}, false, false, {}},
      {"UTF-16 without a byte-order mark, its code page given",
       utf16,
       {"--codepage", "UTF-16LE"},
       true,
       true,
       {kHello}},
      {"no legal UTF-8 at all", std::string(300, '\xFF'), {}, false, false, {}},
      {"invalid UTF-8 in the text",
       kTimeLine + "a\xFF\xC0\xAF"
                   "b\xED\xA0\x80\n",
       {},
       true,
       true,
       {{1000, 1500, "a\uFFFD\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFD"}}},
      {"NUL bytes in the middle",
       kTimeLine + "Hello\n" + std::string(3, '\0') + "00:00:03.00,00:00:04.00\nLost\n",
       {},
       true,
       true,
       {kHello}},
      {"one million entries without text", repeated(kTimeLine, 1000000), {}, true, true, {}},
      // The probe looks at the first 1024 bytes only, which hold no time line.
      {"one million header lines",
       repeated("[FONT]Sans\n[COMMENT]x\n[SIZE]22\n[DELAY]0\n[X]\n", 200000) + kTimeLine + "Hello\n",
       {},
       false,
       true,
       {{1000, 1500, "<font face=\"Sans\" size=\"+1\">Hello</font>"}}},
      {"a 100 MB file of one line", std::string(100 * 1000 * 1000, 'a'), {}, false, false, {}},
  };
  TempFolder folder;
  for (const FileCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::filesystem::path file = folder.write("hostile.sub", row.bytes);
    expectHandled(file.string(), row);
    std::filesystem::remove(file);
  }
}

TEST(HostileInput, EverySignatureWithNothingAfterItIsRefused) {
  const std::string signatures[] = {
      std::string("\x00\x00\xFE\xFF", 4),
      std::string("\xFF\xFE\x00\x00", 4),
      "\xFE\xFF",
      "\xFF\xFE",
      "\xEF\xBB\xBF",
      "+/v8",
      "+/v9",
      "+/v+",
      "+/v/",
      "\x0E\xFE\xFF",
      "\xFB\xEE\x28",
      "\x84\x31\x95\x33",
  };
  TempFolder folder;
  for (const std::string& signature : signatures) {
    SCOPED_TRACE(signature);
    const std::filesystem::path file = folder.write("signature.sub", signature);
    expectHandled(file.string(), FileCase{"", signature, {}, false, false, {}});
  }
}

// A sparse file past the 2 GiB a text may have: the probe reads its start,
// which holds a time line, and the open refuses it without reading it.
TEST(HostileInput, ASparseFileOf2Point5GiBIsRecognisedButNotRead) {
  TempFolder folder;
  const std::filesystem::path file = folder.write("sparse.sub", kTimeLine + "Hello\n");
  std::filesystem::resize_file(file, std::uintmax_t{5} << 29);
  expectHandled(file.string(), FileCase{"", "", {}, true, false, {}});
}

// Files that are no regular files: the plug-in refuses them before reading
// a byte, so neither blocks nor reads without end.
TEST(HostileInput, NoRegularFileIsRead) {
  TempFolder folder;
  const std::filesystem::path fifo = folder.path() / "fifo.sub";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& url : {subhost::toFileUrl(fifo.string(), "/"), std::string("file:///dev/zero"),
                                 std::string("file:///dev/null"), subhost::toFileUrl(folder.path().string(), "/"),
                                 subhost::toFileUrl((folder.path() / "missing.sub").string(), "/")}) {
    SCOPED_TRACE(url);
    expectHandled(url, FileCase{"", "", {}, false, false, {}});
  }
}

// URLs the plug-in cannot turn into a local path, each naming an existing
// SUB file in some way: the host's session is refused both probe and open.
TEST(HostileInput, UrlsThatNameNoLocalFileAreRefused) {
  TempFolder folder;
  const std::filesystem::path file = folder.write("a.sub", kTimeLine + "Hello\n");
  const std::string url = subhost::toFileUrl(file.string(), "/");
  const std::string path = url.substr(std::string("file://").size());
  struct UrlCase {
    const char* name;
    std::string url;
  };
  const UrlCase cases[] = {
      {"another scheme", "http://localhost" + path},
      {"another host", "file://example.org" + path},
      {"an escaped zero byte", url + "%00.sub"},
      {"a bad escape", url.substr(0, url.size() - 4) + "%G0.sub"},
      {"an escape cut off", url + "%2"},
      {"a relative path", "file:" + file.filename().string()},
      {"invalid UTF-8", url.substr(0, url.size() - 5) + "\xFF.sub"},
      {"an escape of invalid UTF-8", url.substr(0, url.size() - 5) + "%FF.sub"},
      {"a path over the length limit", "file://" + repeated("/abcdefgh", 1000) + ".sub"},
  };
  std::string problem;
  const auto session = subhost::PluginSession::start(SUB_MODULE_PATH, subhost::HostSettings{}, problem);
  ASSERT_NE(session, nullptr) << problem;
  for (const UrlCase& row : cases) {
    SCOPED_TRACE(row.name);
    subhost::FormatRecords missing;
    EXPECT_FALSE(session->probe(row.url, missing));
    EXPECT_TRUE(missing.records.empty());
    EXPECT_FALSE(session->open(row.url));
  }
  // The same file by its plain URL opens.
  subhost::FormatRecords missing;
  EXPECT_TRUE(session->probe(url, missing));
  EXPECT_TRUE(session->open(url));
}

}  // namespace
}  // namespace Kelvo
