// What `subhost dump` and `subhost play` print: the chunks the plug-in handed
// out, as readable text, one JSON document, SubRip or WebVTT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "options.h"

namespace Kelvo::subhost {

// A copy of one chunk as the stream delivered it.
struct ChunkRecord {
  std::uint32_t timestamp = 0;  // ms
  std::uint32_t duration = 0;   // ms
  std::string text;             // the chunk's bytes
};

struct StreamRecord {
  std::uint64_t id = 0;
  std::string name;
  std::string language;
  std::string region;
  bool selected = false;
  std::vector<ChunkRecord> chunks;  // in the order of delivery
};

struct DumpRecord {
  std::string source;  // the file URL handed to the plug-in
  bool probe = false;  // the probe's answer
  std::vector<StreamRecord> streams;
};

// "HH:MM:SS.mmm" (at least two digits of hours), the fraction after
// `separator`. Times are unsigned: a negative start reads as a large one.
std::string formatClockTime(std::uint32_t milliseconds, char separator = '.');

// Writes a dump in one of the formats as its parts arrive, so that no copy
// of every chunk is kept: begin() once, then per stream beginStream(), its
// chunks in the order of delivery with addChunk(), and endStream(); finish()
// hands out the whole text. Nothing is printed on the way, so a dump that
// fails half way prints nothing.
//   text: per stream a line naming it, then per chunk its start and end, its
//     time stamp and duration in ms, and its text with the markup, and an
//     empty line.
//   json: {"source", "probe", "streams": [{"id", "name", "language",
//     "region", "selected", "chunks": [{"timestamp", "duration", "text"}]}]},
//     indented by two spaces; bytes that are not UTF-8 become U+FFFD in the
//     JSON strings.
//   srt: the selected stream (the first when none is) as SubRip: the markup
//     is kept, since SubRip readers take font and bold tags.
//   vtt: the same stream as WebVTT (markupToWebVtt).
// StreamRecord::chunks is not read: the chunks come through addChunk().
class DumpWriter {
 public:
  explicit DumpWriter(DumpFormat format) : format_(format) {}
  void begin(const std::string& source, bool probe);
  void beginStream(const StreamRecord& stream);
  void addChunk(const ChunkRecord& chunk);
  void endStream();
  // The whole dump. Requires: every beginStream() was ended.
  std::string finish();

 private:
  DumpFormat format_;
  std::string out_;     // the dump so far
  std::string part_;    // the current stream's chunks (text, srt, vtt)
  StreamRecord stream_;  // the current stream, without chunks
  std::size_t streamCount_ = 0;
  std::size_t chunkCount_ = 0;  // of the current stream
  bool convertedSelected_ = false;  // srt, vtt: out_ holds the selected stream's chunks
};

// A whole DumpRecord through a DumpWriter.
std::string formatDump(const DumpRecord& dump, DumpFormat format);

inline std::string formatAsText(const DumpRecord& dump) { return formatDump(dump, DumpFormat::text); }
inline std::string formatAsJson(const DumpRecord& dump) { return formatDump(dump, DumpFormat::json); }
inline std::string formatAsSrt(const DumpRecord& dump) { return formatDump(dump, DumpFormat::srt); }
inline std::string formatAsWebVtt(const DumpRecord& dump) { return formatDump(dump, DumpFormat::vtt); }

// One chunk as `subhost play` shows it: its start and end, then its text for
// a terminal (markupToTerminal) or without tags, and an empty line.
std::string formatPlayedChunk(const ChunkRecord& chunk, bool terminal);

}  // namespace Kelvo::subhost
