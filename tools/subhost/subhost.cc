#include "subhost.h"

#include <exception>
#include <string>
#include <system_error>

#include "exit_status.h"
#include "file_url.h"
#include "kelvo_logging.h"
#include "options.h"
#include "output_formats.h"
#include "plugin/status.h"
#include "plugin_session.h"
#include "stream_reading.h"

namespace Kelvo::subhost {

namespace {

using ConfigureFn = decltype(&KelvoLog_configure);

// `fileName` beside the program, or where an installation puts libraries
// relative to its programs; the first candidate when neither exists.
std::filesystem::path companionFile(const Console& console, const char* fileName) {
  const std::filesystem::path candidates[] = {console.programDirectory / fileName,
                                              console.programDirectory / SUB_PROGRAM_TO_LIBRARIES / fileName};
  for (const auto& candidate : candidates) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(candidate, ignored)) return candidate;
  }
  return candidates[0];
}

// Switches the logging library on, to standard error. It stays loaded (see
// keepLoaded); the plug-in binds the same library by its name.
void enableLogging(const Console& console) {
  const std::string path = utf8Path(companionFile(console, SUB_LOGGING_FILE_NAME));
  platform::DynamicLibrary library = platform::DynamicLibrary::load(path.c_str());
  const auto configure = library.loaded() ? reinterpret_cast<ConfigureFn>(library.find("KelvoLog_configure")) : nullptr;
  if (configure == nullptr) {
    console.err << "subhost: cannot load the logging library " << path << "; --log has no effect\n";
    return;
  }
  configure("stderr");
  keepLoaded(std::move(library));
}

HostSettings settingsFrom(const Options& options, const Console& console) {
  HostSettings settings;
  settings.codepage = options.codepage;
  settings.overrideEmbedded = options.overrideEmbedded;
  settings.frameRate = options.frameRate;
  settings.preferredLanguage = options.language.value_or(languageFromLocaleName(console.localeName));
  settings.utf8Supported = options.utf8Supported;
  return settings;
}

// Why the plug-in refused `file`, in a few words.
std::string refusal(const std::string& file, const Console& console) {
  if (!isFileUrl(file)) {
    std::error_code error;
    const auto status = std::filesystem::status(console.currentDirectory / pathFromUtf8(file), error);
    if (status.type() == std::filesystem::file_type::not_found) return "no such file";
    if (status.type() == std::filesystem::file_type::directory) return "is a directory";
  }
  return "the plug-in refused the source";
}

std::string describeFormat(const StreamFormat& format) {
  std::string code;
  for (const char c : format.code) {
    if (c == '\0') break;
    code += c;
  }
  return code + " (record size " + std::to_string(format.recordSize) + ", unit size " +
         std::to_string(format.unitSize) + ", flags " + std::to_string(format.flags) + ")";
}

int runProbe(const Options& options, PluginSession& session, const Console& console) {
  int status = kExitSuccess;
  for (const std::string& file : options.files) {
    FormatRecords missing;
    const bool taken = session.probe(toFileUrl(file, console.currentDirectory), missing);
    if (taken) {
      console.out << file << ": SUB subtitles\n";
      continue;
    }
    status = kExitRefused;
    if (missing.records.empty()) {
      console.out << file << ": not recognised\n";
      continue;
    }
    for (const StreamFormat& format : missing.records) {
      console.out << file << ": SUB subtitles in a format the host lacks: " << describeFormat(format) << "\n";
    }
  }
  return status;
}

// Opens and activates `file`; on failure reports why and returns false.
bool openAndActivate(PluginSession& session, const std::string& file, const std::string& url, const Console& console) {
  if (!session.open(url)) {
    console.err << "subhost: " << file << ": " << refusal(file, console) << "\n";
    return false;
  }
  if (!session.activate()) {
    console.err << "subhost: " << file << ": the plug-in could not activate the source's presentation\n";
    return false;
  }
  return true;
}

// Reports how a read ended; false when it failed.
bool reportEnd(const ReadOutcome& outcome, std::uint64_t streamId, const Console& console) {
  if (outcome.end == ReadEnd::finished) return true;
  console.err << "subhost: stream " << streamId << ": "
              << (outcome.end == ReadEnd::failed ? outcome.problem : std::string(kUnreachableEntries)) << "\n";
  return outcome.end != ReadEnd::failed;
}

int runDump(const Options& options, PluginSession& session, const Console& console) {
  const std::string& file = options.files.front();
  const std::string source = toFileUrl(file, console.currentDirectory);
  FormatRecords missing;
  const bool probe = session.probe(source, missing);
  if (!openAndActivate(session, file, source, console)) return kExitRefused;

  ReadPlan plan;
  plan.reverse = options.reverse;
  plan.from = options.from;
  // The clock starts where the reading does: the seek time, else the start or the end.
  const std::int64_t start = options.reverse ? options.from.value_or(0xFFFFFFFFu) : options.from.value_or(0);
  DumpWriter writer(options.format, console.out);
  writer.begin(source, probe);
  for (StreamInterface* stream : session.streams()) {
    StreamRecord record;
    record.id = stream->streamId;
    const StreamInfo info = PluginSession::describe(*stream);
    record.name = info.name;
    record.language = info.language;
    record.region = info.region;
    record.selected = stream->streamId == session.selectedStream();
    writer.beginStream(record);
    SteppingClock clock(start);
    const ReadOutcome outcome =
        readWholeStream(*stream, clock, plan, [&writer](const ChunkRecord& chunk) { writer.addChunk(chunk); });
    if (!reportEnd(outcome, record.id, console)) return kExitRefused;
    writer.endStream();
  }
  writer.finish();
  return kExitSuccess;
}

int runPlay(const Options& options, PluginSession& session, const Console& console) {
  const std::string& file = options.files.front();
  if (!openAndActivate(session, file, toFileUrl(file, console.currentDirectory), console)) return kExitRefused;
  StreamInterface* chosen = nullptr;
  for (StreamInterface* stream : session.streams()) {
    if (chosen == nullptr || stream->streamId == session.selectedStream()) chosen = stream;
  }
  if (chosen == nullptr) return kExitSuccess;
  ReadPlan plan;
  plan.from = options.from;
  plan.waitForTimestamps = true;
  WallClock clock(options.from.value_or(0), options.speed);
  const ReadOutcome outcome = readWholeStream(*chosen, clock, plan, [&console](ChunkRecord chunk) {
    console.out << formatPlayedChunk(chunk, console.outIsTerminal) << std::flush;
  });
  return reportEnd(outcome, chosen->streamId, console) ? kExitSuccess : kExitRefused;
}

int runCommand(const Options& options, const Console& console) {
  if (options.log) enableLogging(console);
  const std::string modulePath = options.pluginPath.value_or(utf8Path(companionFile(console, SUB_MODULE_FILE_NAME)));
  std::string problem;
  const std::unique_ptr<PluginSession> session =
      PluginSession::start(modulePath, settingsFrom(options, console), problem);
  if (!session) {
    console.err << "subhost: " << problem << "\n";
    return kExitRefused;
  }
  switch (options.command) {
    case Command::probe:
      return runProbe(options, *session, console);
    case Command::dump:
      return runDump(options, *session, console);
    case Command::play:
      return runPlay(options, *session, console);
  }
  return kExitUsage;
}

}  // namespace

int runSubhost(int argc, const char* const* argv, const Console& console) {
  const CommandLine commandLine = parseCommandLine(argc, argv, console.out, console.err);
  if (!commandLine.options) return commandLine.exitStatus;
  try {
    return runCommand(*commandLine.options, console);
  } catch (const std::exception& error) {
    console.err << "subhost: " << error.what() << "\n";
    return kExitRefused;
  }
}

}  // namespace Kelvo::subhost
