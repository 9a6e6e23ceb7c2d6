// What `subhost dump` and `subhost play` print: the chunks the plug-in handed
// out, as readable text, one JSON document, SubRip or WebVTT.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
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

// Writes a dump in one of the formats to `sink` as its parts arrive, so that
// no copy of every chunk is kept: begin() once, then per stream
// beginStream(), its chunks in the order of delivery with addChunk(), and
// endStream(), and finish(). The text goes to `sink` in pieces of about
// kPieceBytes (JSON as it is written; the other formats a stream at a time,
// since they show a stream's chunk count or choose a stream first), so a
// dump that fails half way has printed what was read before.
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
  static constexpr std::size_t kPieceBytes = 1 << 16;

  // Requires: `sink` outlives the writer.
  DumpWriter(DumpFormat format, std::ostream& sink) : format_(format), sink_(sink) {}
  void begin(const std::string& source, bool probe);
  void beginStream(const StreamRecord& stream);
  void addChunk(const ChunkRecord& chunk);
  void endStream();
  // Writes the rest of the dump. Requires: every beginStream() was ended.
  void finish();

 private:
  // Hands what out_ holds to the sink once it is a piece.
  void drain(std::size_t atLeast);

  DumpFormat format_;
  std::ostream& sink_;
  std::string out_;      // written but not yet handed to the sink
  std::string part_;     // the current stream's chunks (text, srt, vtt)
  StreamRecord stream_;  // the current stream, without chunks
  std::size_t streamCount_ = 0;
  std::size_t chunkCount_ = 0;      // of the current stream
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
