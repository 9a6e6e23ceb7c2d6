// What `subhost dump` and `subhost play` print: the chunks the plug-in handed
// out, as readable text, one JSON document, SubRip or WebVTT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Per stream a line naming it, then per chunk its start and end, its time
// stamp and duration in ms, and its text with the markup, and an empty line.
std::string formatAsText(const DumpRecord& dump);

// {"source", "probe", "streams": [{"id", "name", "language", "region",
// "selected", "chunks": [{"timestamp", "duration", "text"}]}]}, indented.
// Bytes that are not UTF-8 become U+FFFD in the JSON strings.
std::string formatAsJson(const DumpRecord& dump);

// The selected stream (the first when none is) as SubRip: the markup is kept,
// since SubRip readers take font and bold tags.
std::string formatAsSrt(const DumpRecord& dump);

// The selected stream (the first when none is) as WebVTT (markupToWebVtt).
std::string formatAsWebVtt(const DumpRecord& dump);

// One chunk as `subhost play` shows it: its start and end, then its text for
// a terminal (markupToTerminal) or without tags, and an empty line.
std::string formatPlayedChunk(const ChunkRecord& chunk, bool terminal);

}  // namespace Kelvo::subhost
