#include "container/entry_times.h"

#include <algorithm>
#include <cassert>

namespace Kelvo {

EntryTimes::EntryTimes(const std::vector<MediaChunk*>& entries) {
  const std::size_t count = entries.size();
  starts.values.resize(count);
  maxEndUpTo.values.resize(count);
  minEndFrom.values.resize(count);
  std::uint32_t latest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t start = entries[i]->timestamp;
    const std::uint32_t end = start + entries[i]->duration;
    if (i != 0 && starts.values[i - 1] > start) ordered = false;
    starts.values[i] = start;
    latest = std::max(latest, end);
    maxEndUpTo.values[i] = latest;
    minEndFrom.values[i] = end;  // made a running minimum below, without visiting the entries again
  }
  std::vector<std::uint32_t>& earliest = minEndFrom.values;
  for (std::size_t i = count; i-- > 1;) earliest[i - 1] = std::min(earliest[i - 1], earliest[i]);
  if (!ordered) return;  // sorted and recorded again by the caller
  starts.sample();
  maxEndUpTo.sample();
  minEndFrom.sample();
}

// maxEndUpTo rises with the index, so the first entry ending at or after a
// time is where the running maximum first reaches it: every entry before
// ends earlier, and this one's end is the new maximum.
std::size_t EntryTimes::firstEndingAtOrAfter(std::uint32_t time) const {
  assert(ordered);
  return maxEndUpTo.lowerBound(time);
}

std::size_t EntryTimes::firstStartingAtOrAfter(std::uint32_t time) const {
  assert(ordered);
  return starts.lowerBound(time);
}

// minEndFrom rises with the index too: the entries from the first index whose
// minimum reaches the time on all end at or after it, and the entry just
// before that index ends before it.
std::size_t EntryTimes::pastLastEndingBefore(std::uint32_t time) const {
  assert(ordered);
  return minEndFrom.lowerBound(time);
}

void EntryTimes::clear() {
  ordered = true;
  starts = {};
  maxEndUpTo = {};
  minEndFrom = {};
}

void EntryTimes::Column::sample() {
  sampled.clear();
  sampled.reserve((values.size() + kStride - 1) / kStride);
  for (std::size_t i = 0; i < values.size(); i += kStride) sampled.push_back(values[i]);
}

std::size_t EntryTimes::Column::lowerBound(std::uint32_t time) const {
  // The first sampled value at or above `time` bounds the answer from above,
  // the sampled value before it, which is below `time`, from below.
  const auto block = static_cast<std::size_t>(std::lower_bound(sampled.begin(), sampled.end(), time) - sampled.begin());
  if (block == 0) return 0;
  const auto first = values.begin() + static_cast<std::ptrdiff_t>((block - 1) * kStride + 1);
  const auto last = values.begin() + static_cast<std::ptrdiff_t>(std::min(block * kStride, values.size()));
  return static_cast<std::size_t>(std::lower_bound(first, last, time) - values.begin());
}

}  // namespace Kelvo
