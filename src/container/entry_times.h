// EntryTimes: the start and end times of an overlay stream's entries, laid out
// so that the stream finds an entry by time in O(log n) instead of walking.
// Built once from the entries sorted by start; read-only afterwards, so any
// thread may search it while its owner keeps it alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/media_buffer.h"

namespace Kelvo {

class EntryTimes {
 public:
  EntryTimes() = default;
  // Records the entries' times, in their order. Throws std::bad_alloc.
  explicit EntryTimes(const std::vector<MediaChunk*>& entries);

  // Whether the entries were sorted by start (timestamp, compared unsigned),
  // as the searches below require.
  bool inOrder() const { return ordered; }

  // Times are milliseconds compared unsigned; an entry's end is its start
  // plus its duration, wrapping like the host's 32-bit arithmetic.

  // The first index whose entry ends at or after `time`; size() when none does.
  std::size_t firstEndingAtOrAfter(std::uint32_t time) const;
  // The first index whose entry starts at or after `time`; size() when none
  // does. Every entry before it starts before `time`.
  std::size_t firstStartingAtOrAfter(std::uint32_t time) const;
  // One past the last index whose entry ends before `time`; 0 when none does.
  std::size_t pastLastEndingBefore(std::uint32_t time) const;

  std::size_t size() const { return starts.size(); }
  // Forgets every entry.
  void clear();

 private:
  bool ordered = true;
  std::vector<std::uint32_t> starts;      // ascending when ordered
  std::vector<std::uint32_t> maxEndUpTo;  // [i]: the latest end among entries 0..i
  std::vector<std::uint32_t> minEndFrom;  // [i]: the earliest end among entries i..n-1
};

}  // namespace Kelvo
