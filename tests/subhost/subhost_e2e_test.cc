// subhost through the built module, in what holds whether or not the module
// parses SUB files: refusals, their one-line messages and exit statuses, and
// a module that cannot serve; and through a fake module that records the
// calls, the session's whole lifecycle on every path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "exit_status.h"
#include "platform/dynamic_library.h"
#include "subhost_runner.h"
#include "temp_files.h"

namespace Kelvo {
namespace {

using testing::readFile;
using testing::runSubhostWith;
using testing::SubhostRun;
using testing::TempFolder;

constexpr const char* kMicroDvd = "tests/subhost/data/microdvd.sub";

// The one line that reports `file`, and nothing else anywhere.
void expectRefusal(const SubhostRun& run, const std::string& file, const std::string& reason) {
  EXPECT_EQ(run.status, subhost::kExitRefused);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "subhost: " + file + ": " + reason + "\n");
}

TEST(SubhostRefusals, SourcesThatAreNoSubFilesEndWithOneLineAndStatusOne) {
  TempFolder folder;
  const std::string binary =
      folder.write("binary.sub", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20)).string();
  const std::string srt =
      folder.write("basic.srt", readFile(std::string(SUB_PROJECT_DIR) + "/examples/basic.sub")).string();
  struct Case {
    const char* name;
    std::string file;
    const char* reason;
  };
  const Case cases[] = {
      {"missing file", "tests/subhost/data/missing.sub", "no such file"},
      {"directory", "examples", "is a directory"},
      {"MicroDVD", kMicroDvd, "the plug-in refused the source"},
      {"binary", binary, "the plug-in refused the source"},
      {"SUB text under another extension", srt, "the plug-in refused the source"},
      {"file URL of a missing file", "file:///nowhere/missing.sub", "the plug-in refused the source"},
  };
  for (const Case& c : cases) {
    for (const char* command : {"dump", "play"}) {
      SCOPED_TRACE(std::string(c.name) + ", " + command);
      expectRefusal(runSubhostWith({command, c.file}), c.file, c.reason);
    }
  }
  const SubhostRun json = runSubhostWith({"dump", "--format", "json", kMicroDvd});
  expectRefusal(json, kMicroDvd, "the plug-in refused the source");
}

TEST(SubhostRefusals, ProbeSaysNotRecognisedForEachSuchFile) {
  const SubhostRun run = runSubhostWith({"probe", "tests/subhost/data/missing.sub", "examples", kMicroDvd});
  EXPECT_EQ(run.status, subhost::kExitRefused);
  EXPECT_EQ(run.out,
            "tests/subhost/data/missing.sub: not recognised\n"
            "examples: not recognised\n" +
                std::string(kMicroDvd) + ": not recognised\n");
  EXPECT_EQ(run.err, "");
}

TEST(SubhostRefusals, OtherFormatsOfTheCorpusAreRefused) {
  const std::filesystem::path negative = std::filesystem::path(SUB_CORPUS_DIR) / "negative";
  if (!std::filesystem::is_directory(negative)) GTEST_SKIP() << "no corpus at " << negative;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(negative)) {
    const std::string file = entry.path().string();
    SCOPED_TRACE(file);
    expectRefusal(runSubhostWith({"dump", file}), file, "the plug-in refused the source");
    ++files;
  }
  EXPECT_GT(files, 0);
}

TEST(SubhostModule, AModuleThatCannotServeEndsWithOneLineAndStatusOne) {
  struct Case {
    const char* name;
    std::string module;
    std::string message;
  };
  const Case cases[] = {
      {"no such module", "/nowhere/libsubcontainer.so",
       "subhost: cannot load the plug-in module /nowhere/libsubcontainer.so\n"},
      {"a library without the entry", SUB_LOGGING_PATH,
       std::string("subhost: the module ") + SUB_LOGGING_PATH + " has no _getPlugin\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SubhostRun run = runSubhostWith({"--plugin", c.module, "dump", "examples/basic.sub"});
    EXPECT_EQ(run.status, subhost::kExitRefused);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.message);
  }
}

// The fake module's own entry point `name`, or null.
void* fakeModuleEntry(const char* name) {
  static const platform::DynamicLibrary module = platform::DynamicLibrary::load(SUB_FAKE_MODULE_PATH);
  return module.loaded() ? module.find(name) : nullptr;
}

// What the fake module recorded since the last call.
std::string fakeModuleEvents() {
  const auto events = reinterpret_cast<const char* (*)()>(fakeModuleEntry("fakeModuleEvents"));
  return events != nullptr ? events() : "cannot load " SUB_FAKE_MODULE_PATH;
}

TEST(SubhostSession, DumpReadsEveryStreamAndShowsItsChunks) {
  fakeModuleEvents();
  const SubhostRun run = runSubhostWith({"--plugin", SUB_FAKE_MODULE_PATH, "dump", "a.sub"});
  EXPECT_EQ(run.status, subhost::kExitSuccess);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "stream 2 \"\" (selected), 3 chunks\n\n"
            "00:00:00.400 --> 00:00:01.400  [400 ms, 1000 ms]\n<b>a</b>\n\n"
            "00:00:00.600 --> 00:00:01.600  [600 ms, 1000 ms]\nb\n\n"
            "00:00:05.000 --> 00:00:05.500  [5000 ms, 500 ms]\nc\n\n");
}

TEST(SubhostSession, EveryPathClosesTheStreamsDeletesThemAndReleasesTheObjectLast) {
  struct Case {
    const char* name;
    const char* moduleRefuses;  // what the next plug-in object lacks, or ""
    std::vector<std::string> arguments;
    int status;
    std::string err;
    std::string events;  // what the module saw, in order
  };
  const Case cases[] = {
      {"dump",
       "",
       {"--lang", "de-AT", "dump", "a.sub"},
       subhost::kExitSuccess,
       "",
       "probe open activate language=de-AT close:chunks-back stream-deleted destroyed "},
      {"play",
       "",
       {"play", "--speed", "1000000", "a.sub"},
       subhost::kExitSuccess,
       "",
       "open activate language= close:chunks-back stream-deleted destroyed "},
      {"probe", "", {"probe", "a.sub", "unknown.sub"}, subhost::kExitRefused, "", "probe probe close destroyed "},
      {"no plug-in object",
       "object",
       {"dump", "a.sub"},
       subhost::kExitRefused,
       "subhost: the plug-in module made no plug-in object\n",
       ""},
      {"no container",
       "container",
       {"dump", "a.sub"},
       subhost::kExitRefused,
       "subhost: the plug-in offers no container interface\n",
       "destroyed "},
      {"open refused",
       "",
       {"dump", "refuse-open.sub"},
       subhost::kExitRefused,
       "subhost: refuse-open.sub: no such file\n",
       "probe open close destroyed "},
      {"activation refused",
       "",
       {"dump", "refuse-activation.sub"},
       subhost::kExitRefused,
       "subhost: refuse-activation.sub: the plug-in could not activate the source's presentation\n",
       "probe open activate close:chunks-back stream-deleted destroyed "},
      {"reading fails",
       "",
       {"dump", "read-fails.sub"},
       subhost::kExitRefused,
       "subhost: stream 2: reading the stream failed (0x80100001)\n",
       "probe open activate language= close:chunks-back stream-deleted destroyed "},
  };
  const auto refuse = reinterpret_cast<void (*)(const char*)>(fakeModuleEntry("fakeModuleRefuse"));
  ASSERT_NE(refuse, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakeModuleEvents();
    refuse(c.moduleRefuses);
    std::vector<std::string> arguments{"--plugin", SUB_FAKE_MODULE_PATH};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const SubhostRun run = runSubhostWith(arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(fakeModuleEvents(), c.events);
  }
}

TEST(SubhostUsage, WrongUsageExitsWithTwoBeforeTouchingTheModule) {
  const SubhostRun run = runSubhostWith({"--plugin", "/nowhere/libsubcontainer.so", "dump"});
  EXPECT_EQ(run.status, subhost::kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "subhost: FILE is required\nRun 'subhost --help' for the commands and options.\n");
}

}  // namespace
}  // namespace Kelvo
