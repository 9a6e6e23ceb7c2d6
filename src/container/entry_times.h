// EntryTimes: the start and end times of an overlay stream's entries, laid out
// so that the stream finds an entry by time in O(log n) instead of walking.
// Built once from the entries; read-only afterwards, so any thread may search
// it while its owner keeps it alive.
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

  // The start of the entry at `index`, read here rather than from its chunk.
  // Requires: index < size().
  std::uint32_t startAt(std::size_t index) const { return starts.values[index]; }

  std::size_t size() const { return starts.values.size(); }
  // Forgets every entry.
  void clear();

 private:
  // An ascending column of times and a sample of every kStride-th of them:
  // a search reads the small sample first, then one stretch of kStride
  // values, instead of jumping across the whole column.
  struct Column {
    static constexpr std::size_t kStride = 16;

    // Takes the sample. Requires: `values` is ascending.
    void sample();
    // The first index whose value is at or above `time`, or the size.
    std::size_t lowerBound(std::uint32_t time) const;

    std::vector<std::uint32_t> values;
    std::vector<std::uint32_t> sampled;  // values[0], values[kStride], ...
  };

  bool ordered = true;
  Column starts;      // the starts, ascending when ordered
  Column maxEndUpTo;  // [i]: the latest end among entries 0..i
  Column minEndFrom;  // [i]: the earliest end among entries i..n-1
};

}  // namespace Kelvo
