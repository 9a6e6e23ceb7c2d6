#include "options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "exit_status.h"

namespace Kelvo::subhost {
namespace {

struct Parsed {
  CommandLine commandLine;
  std::string out;
  std::string err;
};

Parsed parse(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"subhost"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  CommandLine commandLine = parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
  return Parsed{std::move(commandLine), out.str(), err.str()};
}

TEST(CommandLine, DumpTakesItsOptionsBeforeOrAfterTheFile) {
  const Parsed bare = parse({"dump", "a.sub"});
  ASSERT_TRUE(bare.commandLine.options);
  const Options& defaults = *bare.commandLine.options;
  EXPECT_EQ(defaults.command, Command::dump);
  EXPECT_EQ(defaults.files, std::vector<std::string>{"a.sub"});
  EXPECT_EQ(defaults.format, DumpFormat::text);
  EXPECT_FALSE(defaults.from);
  EXPECT_FALSE(defaults.reverse);
  EXPECT_FALSE(defaults.codepage);
  EXPECT_FALSE(defaults.overrideEmbedded);
  EXPECT_FALSE(defaults.frameRate);
  EXPECT_FALSE(defaults.language);
  EXPECT_FALSE(defaults.pluginPath);
  EXPECT_FALSE(defaults.log);
  EXPECT_TRUE(defaults.utf8Supported);

  for (const auto& arguments :
       {std::vector<std::string>{"dump", "--format", "json", "--from", "1500", "--reverse", "a.sub"},
        std::vector<std::string>{"dump", "a.sub", "--reverse", "--from=1500", "--format=json"}}) {
    const Parsed parsed = parse(arguments);
    ASSERT_TRUE(parsed.commandLine.options) << parsed.err;
    EXPECT_EQ(parsed.commandLine.options->format, DumpFormat::json);
    EXPECT_EQ(parsed.commandLine.options->from, 1500u);
    EXPECT_TRUE(parsed.commandLine.options->reverse);
    EXPECT_EQ(parsed.commandLine.options->files, std::vector<std::string>{"a.sub"});
  }
  const Parsed end = parse({"dump", "--from", "4294967295", "--format", "vtt", "a.sub"});
  ASSERT_TRUE(end.commandLine.options);
  EXPECT_EQ(end.commandLine.options->from, 4294967295u);
  EXPECT_EQ(end.commandLine.options->format, DumpFormat::vtt);
  EXPECT_EQ(parse({"dump", "--format", "srt", "a.sub"}).commandLine.options->format, DumpFormat::srt);
}

TEST(CommandLine, CommonOptionsGoBeforeOrAfterTheCommand) {
  const std::vector<std::string> common{"--codepage",   "windows-1251", "--override-embedded",
                                        "--frame-rate", "24000/1001",   "--lang",
                                        "de-AT",        "--plugin",     "/p/m.so",
                                        "--log",        "--no-utf8"};
  std::vector<std::string> before = common;
  before.insert(before.end(), {"dump", "a.sub"});
  std::vector<std::string> after{"dump", "a.sub"};
  after.insert(after.end(), common.begin(), common.end());
  for (const auto& arguments : {before, after}) {
    const Parsed parsed = parse(arguments);
    ASSERT_TRUE(parsed.commandLine.options) << parsed.err;
    const Options& options = *parsed.commandLine.options;
    EXPECT_EQ(options.codepage, "windows-1251");
    EXPECT_TRUE(options.overrideEmbedded);
    ASSERT_TRUE(options.frameRate);
    EXPECT_EQ(options.frameRate->numerator, 24000);
    EXPECT_EQ(options.frameRate->denominator, 1001);
    EXPECT_EQ(options.language, "de-AT");
    EXPECT_EQ(options.pluginPath, "/p/m.so");
    EXPECT_TRUE(options.log);
    EXPECT_FALSE(options.utf8Supported);
  }
}

TEST(CommandLine, ProbeTakesSeveralFilesAndPlayItsSpeed) {
  const Parsed probe = parse({"probe", "a.sub", "b.sub", "file:///c.sub"});
  ASSERT_TRUE(probe.commandLine.options);
  EXPECT_EQ(probe.commandLine.options->command, Command::probe);
  EXPECT_EQ(probe.commandLine.options->files, (std::vector<std::string>{"a.sub", "b.sub", "file:///c.sub"}));

  const Parsed play = parse({"play", "--speed", "20", "--from", "60000", "a.sub"});
  ASSERT_TRUE(play.commandLine.options);
  EXPECT_EQ(play.commandLine.options->command, Command::play);
  EXPECT_EQ(play.commandLine.options->speed, 20.0);
  EXPECT_EQ(play.commandLine.options->from, 60000u);
  EXPECT_EQ(parse({"play", "a.sub"}).commandLine.options->speed, 1.0);
}

TEST(CommandLine, WrongUsageExitsWithTwoAndOneMessage) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {"no command", {}},
      {"unknown command", {"convert", "a.sub"}},
      {"no file", {"dump"}},
      {"two files to dump", {"dump", "a.sub", "b.sub"}},
      {"no file to probe", {"probe"}},
      {"unknown format", {"dump", "--format", "xml", "a.sub"}},
      {"negative time", {"dump", "--from", "-1", "a.sub"}},
      {"time beyond 32 bits", {"dump", "--from", "4294967296", "a.sub"}},
      {"speed zero", {"play", "--speed", "0", "a.sub"}},
      {"frame rate over zero", {"--frame-rate", "25/0", "dump", "a.sub"}},
      {"frame rate not a number", {"dump", "a.sub", "--frame-rate", "fast"}},
      {"speed belongs to play", {"dump", "--speed", "2", "a.sub"}},
      {"reverse belongs to dump", {"play", "--reverse", "a.sub"}},
      {"unknown option", {"dump", "--colour", "a.sub"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Parsed parsed = parse(c.arguments);
    EXPECT_FALSE(parsed.commandLine.options);
    EXPECT_EQ(parsed.commandLine.exitStatus, kExitUsage);
    EXPECT_EQ(parsed.out, "");
    EXPECT_EQ(parsed.err.rfind("subhost: ", 0), 0u) << parsed.err;
    EXPECT_EQ(parsed.err.substr(parsed.err.find('\n') + 1), "Run 'subhost --help' for the commands and options.\n");
  }
}

TEST(CommandLine, HelpGoesToStandardOutputAndSucceeds) {
  const Parsed program = parse({"--help"});
  EXPECT_FALSE(program.commandLine.options);
  EXPECT_EQ(program.commandLine.exitStatus, kExitSuccess);
  EXPECT_NE(program.out.find("Usage: subhost [OPTIONS] SUBCOMMAND"), std::string::npos) << program.out;
  EXPECT_EQ(program.err, "");

  const Parsed dump = parse({"dump", "--help"});
  EXPECT_EQ(dump.commandLine.exitStatus, kExitSuccess);
  EXPECT_NE(dump.out.find("Usage: subhost dump [OPTIONS] FILE"), std::string::npos) << dump.out;
}

TEST(FrameRate, ReadsPositiveFractionsAndWholeNumbersOnly) {
  struct Case {
    const char* text;
    std::int32_t numerator;  // 0: refused
    std::int32_t denominator;
  };
  const Case cases[] = {
      {"24000/1001", 24000, 1001},
      {"25", 25, 1},
      {"2147483647/1", 2147483647, 1},  //
      {"", 0, 0},
      {"25/", 0, 0},
      {"/1", 0, 0},
      {"0/1", 0, 0},
      {"-25/1", 0, 0},
      {"25/0", 0, 0},
      {"25/1/1", 0, 0},
      {"2147483648/1", 0, 0},
      {" 25/1", 0, 0},
      {"25.5", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto rate = parseFrameRate(c.text);
    if (c.numerator == 0) {
      EXPECT_FALSE(rate);
      continue;
    }
    ASSERT_TRUE(rate);
    EXPECT_EQ(rate->numerator, c.numerator);
    EXPECT_EQ(rate->denominator, c.denominator);
  }
}

}  // namespace
}  // namespace Kelvo::subhost
