#include "container/entry_times.h"

#include <algorithm>
#include <cassert>

namespace Kelvo {

EntryTimes::EntryTimes(const std::vector<MediaChunk*>& entries) {
  const std::size_t count = entries.size();
  starts.resize(count);
  maxEndUpTo.resize(count);
  minEndFrom.resize(count);
  std::uint32_t latest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    starts[i] = entries[i]->timestamp;
    if (i != 0 && starts[i - 1] > starts[i]) ordered = false;
    const std::uint32_t end = entries[i]->timestamp + entries[i]->duration;
    latest = std::max(latest, end);
    maxEndUpTo[i] = latest;
    minEndFrom[i] = end;  // made a running minimum below, without visiting the entries again
  }
  for (std::size_t i = count; i-- > 1;) minEndFrom[i - 1] = std::min(minEndFrom[i - 1], minEndFrom[i]);
}

// maxEndUpTo rises with the index, so the first entry ending at or after a
// time is where the running maximum first reaches it: every entry before
// ends earlier, and this one's end is the new maximum.
std::size_t EntryTimes::firstEndingAtOrAfter(std::uint32_t time) const {
  assert(ordered);
  return static_cast<std::size_t>(std::lower_bound(maxEndUpTo.begin(), maxEndUpTo.end(), time) - maxEndUpTo.begin());
}

std::size_t EntryTimes::firstStartingAtOrAfter(std::uint32_t time) const {
  assert(ordered);
  return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), time) - starts.begin());
}

// minEndFrom rises with the index too: the entries from the first index whose
// minimum reaches the time on all end at or after it, and the entry just
// before that index ends before it.
std::size_t EntryTimes::pastLastEndingBefore(std::uint32_t time) const {
  assert(ordered);
  return static_cast<std::size_t>(std::lower_bound(minEndFrom.begin(), minEndFrom.end(), time) - minEndFrom.begin());
}

void EntryTimes::clear() {
  ordered = true;
  starts = {};
  maxEndUpTo = {};
  minEndFrom = {};
}

}  // namespace Kelvo
