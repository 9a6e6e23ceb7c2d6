// Reading a stream to its end as a host does: give it a clock, set the
// direction, seek, and call readStream until it reports the end, moving the
// clock on whenever nothing is due yet. Every chunk handed out is copied and
// disposed of at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "container/stream_interface.h"
#include "framework/media_buffer.h"
#include "media_clocks.h"
#include "output_formats.h"

namespace Kelvo::subhost {

// Owns a chunk handed out by a stream and disposes of it. Chunks are used
// through MediaBuffer: MediaChunk is final, so a call on it would bind to the
// plug-in's code directly instead of going through the chunk's table.
struct ChunkDisposer {
  void operator()(MediaChunk* chunk) const { static_cast<MediaBuffer*>(chunk)->dispose(); }
};
using ChunkHandle = std::unique_ptr<MediaChunk, ChunkDisposer>;

// A copy of the chunk's time stamp, duration and data bytes.
ChunkRecord copyChunk(MediaChunk& chunk);

struct ReadPlan {
  // Read backwards: setRate(-1000) first, and seek to `from` or, without
  // it, to 4294967295 (the end).
  bool reverse = false;
  // Seek here (ms) with seekStream before reading.
  std::optional<std::uint32_t> from;
  // Hold every chunk until the clock reaches its time stamp (for play).
  bool waitForTimestamps = false;
};

enum class ReadEnd {
  finished,     // the stream reported its end
  beyondClock,  // entries remain that no media time can reach (see kUnreachableEntries)
  failed,       // the stream answered outside its contract; `problem` says how
};

struct ReadOutcome {
  ReadEnd end = ReadEnd::finished;
  std::string problem;
};

// Why a read can end with beyondClock: the stream hands out an entry from
// 500 ms before its start, comparing unsigned times, so an entry that starts
// after kLatestMediaTime + 500 ms (a negative start among them) is never due.
inline constexpr const char* kUnreachableEntries =
    "entries that start after 2147484147 ms (negative start times among them) are never due on a media clock; "
    "they were not read";

// Reads `stream` as `plan` says against `clock`, which must start where the
// reading starts (the seek time, or 0). Hands a copy of every chunk to
// `deliver` in the order of delivery.
ReadOutcome readWholeStream(StreamInterface& stream, HostClock& clock, const ReadPlan& plan,
                            const std::function<void(ChunkRecord)>& deliver);

}  // namespace Kelvo::subhost
