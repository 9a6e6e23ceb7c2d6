#include "stream_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_stream.h"

namespace Kelvo::subhost {
namespace {

using testing::FakeStream;

constexpr std::uint32_t kMinus6840 = 4294960456u;  // -6840 ms as the stream compares it

std::vector<FakeStream::Entry> threeEntries() { return {{400, 1000, "a"}, {600, 1000, "b"}, {5000, 500, "c"}}; }

struct Reading {
  ReadOutcome outcome;
  std::vector<std::uint32_t> timestamps;
  std::string texts;
};

Reading readAll(FakeStream& stream, HostClock& clock, const ReadPlan& plan) {
  Reading reading;
  reading.outcome = readWholeStream(stream, clock, plan, [&reading](ChunkRecord chunk) {
    reading.timestamps.push_back(chunk.timestamp);
    reading.texts += chunk.text;
  });
  return reading;
}

TEST(StreamReading, ForwardTheSteppingClockJumpsToWhereEachEntryIsDue) {
  FakeStream stream(threeEntries());
  SteppingClock clock(0);
  const Reading reading = readAll(stream, clock, ReadPlan{});
  EXPECT_EQ(reading.outcome.end, ReadEnd::finished);
  EXPECT_EQ(reading.outcome.problem, "");
  EXPECT_EQ(reading.timestamps, (std::vector<std::uint32_t>{400, 600, 5000}));
  EXPECT_EQ(reading.texts, "abc");
  // 400 is due at once; then the clock steps to 500 ms before each start.
  EXPECT_EQ(stream.mediaTimesAtDelivery, (std::vector<std::int32_t>{0, 100, 4500}));
  EXPECT_EQ(stream.allocator.released, 3);
}

TEST(StreamReading, FromSeeksBeforeReading) {
  FakeStream stream(threeEntries());
  ReadPlan plan;
  plan.from = 5500;  // inside the last entry
  SteppingClock clock(5500);
  const Reading reading = readAll(stream, clock, plan);
  EXPECT_EQ(reading.outcome.end, ReadEnd::finished);
  EXPECT_EQ(reading.timestamps, (std::vector<std::uint32_t>{5000}));
  EXPECT_EQ(stream.mediaTimesAtDelivery, (std::vector<std::int32_t>{5500}));
}

TEST(StreamReading, ReverseReadsFromTheEndOrFromTheGivenTime) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> from;
    std::vector<std::uint32_t> timestamps;
  };
  const Case cases[] = {
      {"from the end", std::nullopt, {5000, 600, 400}},
      {"from a time", 700, {600, 400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeStream stream(threeEntries());
    ReadPlan plan;
    plan.reverse = true;
    plan.from = c.from;
    SteppingClock clock(c.from.value_or(0xFFFFFFFFu));
    const Reading reading = readAll(stream, clock, plan);
    EXPECT_EQ(reading.outcome.end, ReadEnd::finished);
    EXPECT_EQ(reading.timestamps, c.timestamps);
    EXPECT_EQ(stream.getRate(), -1000);
    EXPECT_EQ(stream.allocator.released, stream.handed);
  }
}

TEST(StreamReading, EntriesBeyondTheClocksRangeEndTheReadingWithoutFailing) {
  struct Case {
    const char* name;
    bool reverse;
    std::vector<FakeStream::Entry> entries;
    std::vector<std::uint32_t> timestamps;
  };
  const Case cases[] = {
      {"forward stops before them", false, {{400, 100, "a"}, {kMinus6840, 100, "n"}}, {400}},
      {"backward skips them", true, {{400, 100, "a"}, {600, 100, "b"}, {kMinus6840, 100, "n"}}, {600, 400}},
      {"backward with nothing else", true, {{kMinus6840, 100, "n"}, {kMinus6840 + 1, 100, "m"}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeStream stream(c.entries);
    ReadPlan plan;
    plan.reverse = c.reverse;
    SteppingClock clock(c.reverse ? kLatestMediaTime : 0);
    const Reading reading = readAll(stream, clock, plan);
    EXPECT_EQ(reading.outcome.end, ReadEnd::beyondClock);
    EXPECT_EQ(reading.timestamps, c.timestamps);
  }
}

TEST(StreamReading, AnswersOutsideTheStreamsContractFailTheReadingAndNoChunkIsKept) {
  struct Case {
    const char* name;
    void (*breakStream)(FakeStream&, ReadPlan&);
    std::string problem;
  };
  const Case cases[] = {
      {"clock refused", [](FakeStream& s, ReadPlan&) { s.clockAnswer = kStatusNotYet; },
       "the stream refused the clock (0xFFFFFFFF)"},
      {"direction refused",
       [](FakeStream& s, ReadPlan& p) {
         s.rateAnswer = false;
         p.reverse = true;
       },
       "the stream refused to read backwards"},
      {"seek refused",
       [](FakeStream& s, ReadPlan& p) {
         s.seekAnswer = kStatusFailure;
         p.from = 5500;
       },
       "the stream refused to seek to 5500 ms (0x80100001)"},
      {"skip backwards refused",
       [](FakeStream& s, ReadPlan& p) {
         s.seekAnswer = kStatusFailure;
         s.seeksBeforeAnswer = 1;
         p.reverse = true;
       },
       "the stream refused to seek to 501 ms (0x80100001)"},
      {"read failed, with a chunk", [](FakeStream& s, ReadPlan&) { s.readAnswer = kStatusFailure; },
       "reading the stream failed (0x80100001)"},
      {"next time unknown", [](FakeStream& s, ReadPlan&) { s.findAnswer = kStatusFailure; },
       "the stream could not tell when its next entry is due (0x80100001)"},
      {"next time already passed", [](FakeStream& s, ReadPlan&) { s.staleNext = 0; },
       "the stream reports nothing due but no later entry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeStream stream({{5000, 500, "late"}});
    ReadPlan plan;
    c.breakStream(stream, plan);
    SteppingClock clock(0);
    const Reading reading = readAll(stream, clock, plan);
    EXPECT_EQ(reading.outcome.end, ReadEnd::failed);
    EXPECT_EQ(reading.outcome.problem, c.problem);
    EXPECT_TRUE(reading.timestamps.empty());
    EXPECT_EQ(stream.allocator.released, stream.handed);
  }
}

TEST(StreamReading, PlayHoldsEachChunkUntilItsStart) {
  FakeStream stream(threeEntries());
  SteppingClock clock(0);
  ReadPlan plan;
  plan.waitForTimestamps = true;
  std::vector<std::int32_t> shownAt;
  readWholeStream(stream, clock, plan, [&](ChunkRecord) { shownAt.push_back(clock.getMediaTime()); });
  EXPECT_EQ(shownAt, (std::vector<std::int32_t>{400, 600, 5000}));
}

TEST(StreamReading, AnEmptyStreamEndsAtOnce) {
  FakeStream stream({});
  SteppingClock clock(0);
  const Reading reading = readAll(stream, clock, ReadPlan{});
  EXPECT_EQ(reading.outcome.end, ReadEnd::finished);
  EXPECT_TRUE(reading.timestamps.empty());
  EXPECT_EQ(stream.handed, 0);
}

TEST(StreamReading, CopyTakesTheDataLengthOfTheChunk) {
  testing::CountingAllocator allocator;
  auto* block = new std::uint8_t[5]{'h', 'e', 'l', 'l', 'o'};
  MediaChunk chunk(&allocator);
  chunk.setBuffer(block, 5);
  chunk.dataLength = 4;
  chunk.timestamp = 7;
  chunk.duration = 9;
  const ChunkRecord record = copyChunk(chunk);
  EXPECT_EQ(record.text, "hell");
  EXPECT_EQ(record.timestamp, 7u);
  EXPECT_EQ(record.duration, 9u);
  delete[] block;

  MediaChunk empty(&allocator);
  empty.dataLength = 3;  // no block at all
  EXPECT_EQ(copyChunk(empty).text, "");
}

TEST(MediaClocks, SteppingClockStaysInRangeAndNeverGoesBack) {
  SteppingClock clock(-5);
  EXPECT_EQ(clock.getMediaTime(), 0);
  clock.advanceTo(1000);
  EXPECT_EQ(clock.getMediaTime(), 1000);
  clock.advanceTo(10);
  EXPECT_EQ(clock.getMediaTime(), 1000);
  clock.advanceTo(0x1'0000'0000);
  EXPECT_EQ(clock.getMediaTime(), kLatestMediaTime);
  EXPECT_EQ(SteppingClock(0xFFFFFFFFu).getMediaTime(), kLatestMediaTime);
}

TEST(MediaClocks, WallClockAdvanceReturnsOnceTheTimeIsReached) {
  WallClock clock(1000, 1e6);
  EXPECT_GE(clock.getMediaTime(), 1000);
  clock.advanceTo(60000);
  EXPECT_GE(clock.getMediaTime(), 60000);
  EXPECT_EQ(WallClock(0x1'0000'0000, 1).getMediaTime(), kLatestMediaTime);
}

}  // namespace
}  // namespace Kelvo::subhost
