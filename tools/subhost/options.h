// The subhost command line: its commands and options, read with CLI11.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Kelvo::subhost {

enum class Command { probe, dump, play };
enum class DumpFormat { text, json, srt, vtt };

// A frame rate in frames per second, as a fraction (24000/1001 for NTSC film).
struct FrameRate {
  std::int32_t numerator;
  std::int32_t denominator;
};

struct Options {
  Command command = Command::dump;
  std::vector<std::string> files;  // paths or file URLs; exactly one for dump and play
  DumpFormat format = DumpFormat::text;
  std::optional<std::uint32_t> from;  // milliseconds
  bool reverse = false;
  double speed = 1.0;  // media milliseconds per wall-clock millisecond
  std::optional<std::string> codepage;
  bool overrideEmbedded = false;
  std::optional<FrameRate> frameRate;
  std::optional<std::string> language;    // CODE or CODE-REGION
  std::optional<std::string> pluginPath;  // the module to load instead of the one beside the program
  bool log = false;
  bool utf8Supported = true;
};

// The outcome of reading the command line: the options to run with, or no
// options and the status to exit with (help was printed to `out`, or a usage
// error reported on `err`).
struct CommandLine {
  std::optional<Options> options;
  int exitStatus = 0;
};

CommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// "N/D" or "N" (D = 1), both positive decimal 32-bit integers; nothing else.
std::optional<FrameRate> parseFrameRate(std::string_view text);

}  // namespace Kelvo::subhost
