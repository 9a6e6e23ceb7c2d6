#include "stream_reading.h"

#include <algorithm>
#include <cstdio>

#include "plugin/status.h"

namespace Kelvo::subhost {

namespace {

// A stream hands out an entry from this long before its start.
constexpr std::int64_t kLeadTime = 500;
constexpr std::uint32_t kEndOfStream = 0xFFFFFFFFu;
constexpr std::int32_t kBackward = -1000;

std::string statusText(Status status) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
  return text;
}

ReadOutcome failure(std::string problem) { return ReadOutcome{ReadEnd::failed, std::move(problem)}; }

}  // namespace

ChunkRecord copyChunk(MediaChunk& chunk) {
  ChunkRecord record;
  record.timestamp = chunk.timestamp;
  record.duration = chunk.duration;
  MediaBuffer& buffer = chunk;
  const std::uint8_t* data = buffer.lockData();
  if (data != nullptr) {
    record.text.assign(reinterpret_cast<const char*>(data), std::min(buffer.dataLength, buffer.bufferSize));
  }
  buffer.unlockData();
  return record;
}

ReadOutcome readWholeStream(StreamInterface& stream, HostClock& clock, const ReadPlan& plan,
                            const std::function<void(ChunkRecord)>& deliver) {
  if (const Status status = stream.setClock(&clock); status != kStatusOk) {
    return failure("the stream refused the clock (" + statusText(status) + ")");
  }
  if (plan.reverse && !stream.setRate(kBackward)) return failure("the stream refused to read backwards");
  const std::optional<std::uint32_t> seekTime = plan.reverse ? plan.from.value_or(kEndOfStream) : plan.from;
  if (seekTime) {
    std::uint32_t found = 0;
    if (const Status status = stream.seekStream(*seekTime, &found, 0); status != kStatusOk) {
      return failure("the stream refused to seek to " + std::to_string(*seekTime) + " ms (" + statusText(status) + ")");
    }
  }
  bool skippedBackward = false;
  for (;;) {
    // Read before the stream reads it, so that a running clock cannot make
    // the entry found below look already due.
    const std::int64_t now = clock.getMediaTime();
    MediaChunk* handed = nullptr;
    const Status status = stream.readStream(&handed);
    ChunkHandle chunk(handed);
    if (status == kStatusOk) {
      if (!chunk) return ReadOutcome{skippedBackward ? ReadEnd::beyondClock : ReadEnd::finished, {}};
      ChunkRecord record = copyChunk(*chunk);
      chunk.reset();
      if (plan.waitForTimestamps) clock.advanceTo(record.timestamp);
      deliver(std::move(record));
      continue;
    }
    if (status != kStatusNotYet) return failure("reading the stream failed (" + statusText(status) + ")");
    if (plan.reverse) {
      // Backwards every entry before the seek time is due unless it starts
      // beyond the clock's range: skip those by seeking below them, once.
      // Whatever is still not due after that lies beyond the range too.
      if (skippedBackward) return ReadOutcome{ReadEnd::beyondClock, {}};
      std::uint32_t found = 0;
      const auto below = static_cast<std::uint32_t>(now + kLeadTime + 1);
      if (const Status sought = stream.seekStream(below, &found, 0); sought != kStatusOk) {
        return failure("the stream refused to seek to " + std::to_string(below) + " ms (" + statusText(sought) + ")");
      }
      skippedBackward = true;
      continue;
    }
    std::uint32_t next = 0;
    const auto after = static_cast<std::uint32_t>(now + kLeadTime + 1);
    if (const Status found = stream.findNextTime(0, after, &next); found != kStatusOk) {
      return failure("the stream could not tell when its next entry is due (" + statusText(found) + ")");
    }
    const std::int64_t due = static_cast<std::int64_t>(next) - kLeadTime;
    if (due > kLatestMediaTime) return ReadOutcome{ReadEnd::beyondClock, {}};
    if (due <= now) return failure("the stream reports nothing due but no later entry");
    clock.advanceTo(due);
  }
}

}  // namespace Kelvo::subhost
