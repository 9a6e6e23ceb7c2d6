#include "options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <ostream>

#include "exit_status.h"

namespace Kelvo::subhost {

namespace {

std::optional<std::int32_t> parsePositive(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

// The options that every command takes, on the program or after the command.
void addCommonOptions(CLI::App& app, Options& options, std::string& frameRate) {
  app.add_option("--codepage", options.codepage,
                 "Code page of files without a byte-order mark (any name ICU knows, such as windows-1251)")
      ->type_name("NAME");
  app.add_flag("--override-embedded", options.overrideEmbedded,
               "Decode with --codepage even when the file starts with a byte-order mark");
  app.add_option("--frame-rate", frameRate, "Frames per second for [DELAY] lines, as N/D or N (default 24000/1001)")
      ->type_name("N/D")
      ->check([](const std::string& text) {
        return parseFrameRate(text) ? std::string() : std::string("expected N/D or N with positive integers");
      });
  app.add_option("--lang", options.language, "Preferred subtitle language (default: the locale's)")
      ->type_name("CODE[-REGION]");
  app.add_option("--plugin", options.pluginPath, "The plug-in module to load (default: the one beside subhost)")
      ->type_name("PATH");
  app.add_flag("--log", options.log, "Switch the logging library on, writing to standard error");
  app.add_flag(
      "--no-utf8", [&options](std::int64_t) { options.utf8Supported = false; },
      "Act as a host that cannot take UTF-8 text");
}

}  // namespace

std::optional<FrameRate> parseFrameRate(std::string_view text) {
  const std::size_t slash = text.find('/');
  const auto numerator = parsePositive(text.substr(0, slash));
  const auto denominator =
      slash == std::string_view::npos ? std::optional<std::int32_t>(1) : parsePositive(text.substr(slash + 1));
  if (!numerator || !denominator) return std::nullopt;
  return FrameRate{*numerator, *denominator};
}

CommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Options options;
  std::string frameRate;
  std::string format = "text";
  std::uint32_t from = 0;
  std::string file;

  CLI::App app("Plays SUB subtitle files through the subcontainer plug-in module.", "subhost");
  app.require_subcommand(1);
  // The same command line on every platform: "/x" is a path, never an option.
  app.allow_windows_style_options(false);
  addCommonOptions(app, options, frameRate);

  CLI::App* probe = app.add_subcommand("probe", "Tell whether each file is a SUB file the host can take");
  probe->add_option("FILE", options.files, "Paths or file URLs")->required()->type_name("");

  CLI::App* dump = app.add_subcommand("dump", "Open a file, activate it and print every chunk of its streams");
  dump->add_option("--format", format, "Output format (default text)")
      ->check(CLI::IsMember({"text", "json", "srt", "vtt"}));
  CLI::Option* dumpFrom = dump->add_option("--from", from, "Seek to this time (ms) before reading")->type_name("MS");
  dump->add_flag("--reverse", options.reverse, "Read backwards (from the end, or from --from)");
  dump->add_option("FILE", file, "Path or file URL")->required()->type_name("");

  CLI::App* play = app.add_subcommand("play", "Show the subtitles in real time");
  play->add_option("--speed", options.speed, "Media time per wall-clock time (default 1)")
      ->type_name("FACTOR")
      ->check(CLI::PositiveNumber);
  CLI::Option* playFrom = play->add_option("--from", from, "Start at this time (ms)")->type_name("MS");
  play->add_option("FILE", file, "Path or file URL")->required()->type_name("");

  for (CLI::App* command : {probe, dump, play}) command->fallthrough();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return CommandLine{std::nullopt, app.exit(help, out, err) == 0 ? kExitSuccess : kExitUsage};
  } catch (const CLI::CallForAllHelp& help) {
    return CommandLine{std::nullopt, app.exit(help, out, err) == 0 ? kExitSuccess : kExitUsage};
  } catch (const CLI::ParseError& error) {
    err << "subhost: " << error.what() << "\nRun 'subhost --help' for the commands and options.\n";
    return CommandLine{std::nullopt, kExitUsage};
  }

  if (probe->parsed()) options.command = Command::probe;
  if (dump->parsed()) options.command = Command::dump;
  if (play->parsed()) options.command = Command::play;
  if (options.command != Command::probe) options.files = {file};
  if (dumpFrom->count() > 0 || playFrom->count() > 0) options.from = from;
  if (!frameRate.empty()) options.frameRate = parseFrameRate(frameRate);
  if (format == "json") options.format = DumpFormat::json;
  if (format == "srt") options.format = DumpFormat::srt;
  if (format == "vtt") options.format = DumpFormat::vtt;
  return CommandLine{std::move(options), kExitSuccess};
}

}  // namespace Kelvo::subhost
