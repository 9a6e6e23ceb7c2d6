// The overlay stream's indexed searches against plain walks over its entries,
// on random entry lists: overlapping entries, equal starts, ends that wrap
// past 2^32, empty lists; every search in both reading directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "container_fixture.h"

namespace Kelvo::testing {
namespace {

std::uint32_t startOf(const MediaChunk* entry) { return entry->timestamp; }
std::uint32_t endOf(const MediaChunk* entry) { return entry->timestamp + entry->duration; }

struct Seek {
  std::int32_t position;
  std::uint32_t result;
};

// The stream's seek as a walk over every entry, in the direction of `rate`.
// Requires: `entries` is not empty and `rate` is not 0.
Seek walkSeek(const std::vector<MediaChunk*>& entries, std::int32_t rate, std::uint32_t time) {
  const auto count = static_cast<std::int32_t>(entries.size());
  if (rate > 0) {
    for (std::int32_t index = 0; index < count; ++index) {
      if (endOf(entries[index]) >= time) return {index, startOf(entries[index])};
    }
    return {count, endOf(entries.back()) + 1};
  }
  for (std::int32_t index = count - 1; index >= 0; --index) {
    if (startOf(entries[index]) < time) return {index, startOf(entries[index])};
  }
  return {0, 0};
}

// The stream's boundary search as a walk, likewise.
std::uint32_t walkFindNextTime(const std::vector<MediaChunk*>& entries, std::int32_t rate, std::uint32_t time) {
  if (rate > 0) {
    for (const MediaChunk* entry : entries) {
      if (startOf(entry) >= time) return startOf(entry);
    }
    return endOf(entries.back());
  }
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (endOf(*entry) < time) return startOf(*entry);
  }
  return startOf(entries.front()) - 1;
}

// A random list: starts crowded into a narrow range (so that they repeat and
// the entries overlap), now and then near 2^32; durations mostly short,
// now and then long enough that the end wraps around. One list in ten is long
// enough for the searches' samples of every sixteenth time to matter.
std::vector<Entry> randomEntries(std::mt19937& random) {
  const bool longList = random() % 10 == 0;
  const std::uint32_t count = std::uniform_int_distribution<std::uint32_t>(0, longList ? 300 : 24)(random);
  const std::uint32_t spread = std::uniform_int_distribution<std::uint32_t>(1, longList ? 4000 : 60)(random);
  std::vector<Entry> entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t start = std::uniform_int_distribution<std::uint32_t>(0, spread)(random);
    std::uint32_t duration = std::uniform_int_distribution<std::uint32_t>(0, 40)(random);
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
      case 0:
        start = 0xFFFFFFFFu - start;  // near the top: the end wraps
        break;
      case 1:
        duration = 0xFFFFFFFFu - duration;  // an end before the start
        break;
      default:
        break;
    }
    entries.push_back({start, duration, "e"});
  }
  // Half the lists come in order, as most files do.
  if (random() % 2 == 0) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.start < b.start; });
  }
  return entries;
}

std::string describe(const std::vector<MediaChunk*>& entries) {
  std::string text;
  for (const MediaChunk* entry : entries) {
    text += "[" + std::to_string(startOf(entry)) + "," + std::to_string(endOf(entry)) + "] ";
  }
  return text;
}

// Every start and end, their neighbours, the extremes and a few random times.
std::vector<std::uint32_t> probeTimes(const std::vector<MediaChunk*>& entries, std::mt19937& random) {
  std::vector<std::uint32_t> times = {0, 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (const MediaChunk* entry : entries) {
    for (const std::uint32_t time : {startOf(entry), endOf(entry)}) {
      times.insert(times.end(), {time - 1, time, time + 1});
    }
  }
  for (int i = 0; i < 8; ++i) times.push_back(static_cast<std::uint32_t>(random()));
  return times;
}

using OverlaySearchTest = ContainerFixture;

TEST_F(OverlaySearchTest, IndexedSearchesMatchPlainWalksOnRandomEntryLists) {
  setRecordingEnabled(false);  // thousands of seeks, each logged
  std::mt19937 random(20240917);
  for (int list = 0; list < 400; ++list) {
    OverlayStream* stream = addClockedStream(randomEntries(random));
    ASSERT_NE(stream, nullptr);
    const std::vector<MediaChunk*>& entries = stream->entries;
    SCOPED_TRACE("list " + std::to_string(list) + ": " + describe(entries));
    for (const std::int32_t rate : {1000, -1000}) {
      stream->rate = rate;
      for (const std::uint32_t time : probeTimes(entries, random)) {
        SCOPED_TRACE("rate " + std::to_string(rate) + ", time " + std::to_string(time));
        const std::int32_t before = stream->position;
        std::uint32_t found = 77;
        ASSERT_EQ(stream->findNextTime(0, time, &found), kStatusOk);
        EXPECT_EQ(found, entries.empty() ? time : walkFindNextTime(entries, rate, time));
        EXPECT_EQ(stream->position, before);

        found = 77;
        ASSERT_EQ(stream->seekStream(time, &found, 0), kStatusOk);
        const Seek expected = entries.empty() ? Seek{before, time} : walkSeek(entries, rate, time);
        EXPECT_EQ(found, expected.result);
        EXPECT_EQ(stream->position, expected.position);
      }
    }
    // A change of direction re-seeks from wherever the reading stands.
    for (std::int32_t at = -1; at <= static_cast<std::int32_t>(entries.size()); ++at) {
      for (const std::int32_t rate : {1000, -1000}) {
        SCOPED_TRACE("setRate from " + std::to_string(rate) + " at " + std::to_string(at));
        stream->rate = rate;
        stream->position = at;
        ASSERT_TRUE(stream->setRate(-rate));
        if (entries.empty()) {
          EXPECT_EQ(stream->position, at);
          continue;
        }
        const MediaChunk* current =
            entries[static_cast<std::size_t>(std::clamp(at, 0, static_cast<std::int32_t>(entries.size()) - 1))];
        EXPECT_EQ(stream->position, walkSeek(entries, rate, -rate >= 0 ? startOf(current) : endOf(current)).position);
      }
    }
  }
}

TEST_F(OverlaySearchTest, ClosedStreamsSearchNothingAndEchoTheTime) {
  OverlayStream* stream = addClockedStream({{1000, 500, "one"}, {2000, 500, "two"}});
  container->closeStreams(false);
  EXPECT_EQ(stream->times.size(), 0u);
  for (const std::int32_t rate : {1000, -1000}) {
    stream->rate = rate;
    std::uint32_t found = 0;
    EXPECT_EQ(stream->seekStream(1800, &found, 0), kStatusOk);
    EXPECT_EQ(found, 1800u);
    EXPECT_EQ(stream->findNextTime(0, 2600, &found), kStatusOk);
    EXPECT_EQ(found, 2600u);
  }
}

}  // namespace
}  // namespace Kelvo::testing
