// The overlay stream as the host reads it: delivery against the clock,
// seeking, boundary searches and changes of direction.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "container_fixture.h"

namespace Kelvo::testing {
namespace {

using OverlayStreamTest = ContainerFixture;

// Three entries shown over [1000,1500], [2000,2500] and [3000,3500].
const std::vector<Entry> kThree = {{1000, 500, "one"}, {2000, 500, "two"}, {3000, 500, "three"}};

const char* const kReadFunction = "Kelvo::SubtitleParserTemplate<class Kelvo::SUBContainer>::OverlayStream::readStream";

TEST_F(OverlayStreamTest, DeliversAnEntryAtTheEarliest500msBeforeItsStart) {
  struct Case {
    const char* name;
    std::uint32_t start;
    std::int32_t clockTime;
    Status status;
    bool delivered;
  };
  const Case cases[] = {
      {"400 is due at clock 0", 400, 0, kStatusOk, true},
      {"600 is not due at clock 0", 600, 0, kStatusNotYet, false},
      {"600 is not due at clock 99", 600, 99, kStatusNotYet, false},
      {"600 is due from clock 100", 600, 100, kStatusOk, true},
      {"a negative clock time delivers nothing", 0, -1, kStatusNotYet, false},
      // Read as signed, this start would lie in the past.
      {"a start past 2^31 is compared unsigned", 0xFFFFFF00u, 0, kStatusNotYet, false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addClockedStream({{row.start, 1000, "text"}});
    clock.now = row.clockTime;
    const Read result = read(stream);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.chunk != nullptr, row.delivered);
    EXPECT_EQ(stream->position, row.delivered ? 1 : 0);
  }
}

TEST_F(OverlayStreamTest, ADeliveredChunkIsAFreshCopyOfTheEntryWithoutTerminator) {
  OverlayStream* stream = addClockedStream({{1000, 2500, "<b>Hi</b>"}});
  MediaChunk* entry = stream->entries[0];
  clock.script = {600, 777};  // the second answer is the one logged

  const Read result = read(stream);

  ASSERT_EQ(result.status, kStatusOk);
  ASSERT_NE(result.chunk, nullptr);
  EXPECT_NE(result.chunk.get(), entry);
  EXPECT_NE(result.chunk->payload, entry->payload);
  EXPECT_EQ(result.chunk->allocator, container->bufferAllocator);
  EXPECT_EQ(result.chunk->bufferSize, 9u);
  EXPECT_EQ(result.chunk->dataLength, 9u);
  EXPECT_EQ(textOf(result.chunk.get()), "<b>Hi</b>");
  EXPECT_EQ(result.chunk->timestamp, 1000u);
  EXPECT_EQ(result.chunk->duration, 2500u);
  EXPECT_EQ(stream->getCurrentTime(), 3500u);
  EXPECT_EQ(stream->position, 1);
  EXPECT_EQ(clock.queries, 2);
  EXPECT_EQ(logged(), (std::vector<Logged>{{"Subtitle", kReadFunction, 664,
                                            "PARSED(Sub=%i): timestamp=%d duration=%d mediatime=%d",
                                            "PARSED(Sub=0): timestamp=1000 duration=2500 mediatime=777"}}));
  ASSERT_EQ(stream->entries.size(), 1u);
  EXPECT_EQ(stream->entries[0], entry);
  EXPECT_EQ(textOf(entry), "<b>Hi</b>");
}

TEST_F(OverlayStreamTest, ReadingOffEitherEndOrStoppedAnswersZeroWithNoChunk) {
  struct Case {
    const char* name;
    std::int32_t rate;
    std::vector<std::uint32_t> starts;  // delivered before the end
  };
  const Case cases[] = {
      {"forward from the first entry", 1000, {1000, 2000, 3000}},
      {"backward from the first entry", -1000, {1000}},
      {"stopped", 0, {}},
  };
  clock.now = 10000;
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addClockedStream(kThree);
    stream->setRate(row.rate);
    EXPECT_EQ(readAll(stream), row.starts);
    for (int again = 0; again < 2; ++again) {
      const Read result = read(stream);
      EXPECT_EQ(result.status, kStatusOk);
      EXPECT_EQ(result.chunk, nullptr);
    }
  }
}

TEST_F(OverlayStreamTest, ASeekBackAfterTheEndMakesEntriesReadableAgain) {
  clock.now = 10000;
  OverlayStream* stream = addClockedStream(kThree);
  EXPECT_EQ(readAll(stream), (std::vector<std::uint32_t>{1000, 2000, 3000}));
  std::uint32_t found = 0;
  EXPECT_EQ(stream->seekStream(1800, &found, 0), kStatusOk);
  EXPECT_EQ(found, 2000u);
  EXPECT_EQ(readAll(stream), (std::vector<std::uint32_t>{2000, 3000}));
}

TEST_F(OverlayStreamTest, NothingIsDeliveredWithoutAClockAndANullClockIsIgnored) {
  OverlayStream* stream = addStream({{0, 100, "early"}});
  Read result = read(stream);
  EXPECT_EQ(result.status, kStatusNotYet);
  EXPECT_EQ(result.chunk, nullptr);
  EXPECT_EQ(stream->position, 0);

  EXPECT_EQ(stream->setClock(nullptr), kStatusNotYet);
  EXPECT_EQ(stream->clock, nullptr);
  EXPECT_EQ(stream->setClock(&clock), kStatusOk);
  EXPECT_EQ(stream->setClock(nullptr), kStatusNotYet);
  EXPECT_EQ(stream->clock, &clock);
  result = read(stream);
  EXPECT_EQ(result.status, kStatusOk);
  ASSERT_NE(result.chunk, nullptr);
  EXPECT_EQ(textOf(result.chunk.get()), "early");
}

TEST_F(OverlayStreamTest, NullResultPointersAreRefusedExceptBySeek) {
  OverlayStream* stream = addClockedStream(kThree);
  // Nowhere to put a chunk: refused, and nothing moves.
  EXPECT_EQ(stream->readStream(nullptr), kStatusFailure);
  EXPECT_EQ(stream->position, 0);
  EXPECT_EQ(stream->findNextTime(0, 0, nullptr), kStatusFailure);
  // A seek without a result pointer still moves and logs.
  EXPECT_EQ(stream->seekStream(2200, nullptr, 0), kStatusOk);
  EXPECT_EQ(stream->position, 1);
  EXPECT_EQ(logged(), std::vector<Logged>{seekedTo(2000)});
}

struct SeekCase {
  const char* name;
  std::int32_t rate;
  std::uint32_t time;
  std::int32_t position;
  std::uint32_t result;
  Logged log;
};

TEST_F(OverlayStreamTest, SeeksToTheEntryShownAtTheTimeInTheReadingDirection) {
  const SeekCase cases[] = {
      {"forward before every entry", 1000, 0, 0, 1000, seekedTo(1000)},
      {"forward at an entry's end", 1000, 1500, 0, 1000, seekedTo(1000)},
      {"forward just after an entry", 1000, 1501, 1, 2000, seekedTo(2000)},
      {"forward inside an entry", 1000, 2200, 1, 2000, seekedTo(2000)},
      {"forward after the last end", 1000, 3501, 3, 3501, seekedToEdge("end")},
      {"forward compares unsigned", 1000, 0xFFFFFFFFu, 3, 3501, seekedToEdge("end")},
      {"backward at the first start", -1000, 1000, 0, 0, seekedTo(1000)},
      {"backward before every entry", -1000, 0, 0, 0, seekedTo(1000)},
      {"backward just after the first start", -1000, 1001, 0, 1000, seekedTo(1000)},
      {"backward at a later start", -1000, 2000, 0, 1000, seekedTo(1000)},
      {"backward just after a later start", -1000, 2001, 1, 2000, seekedTo(2000)},
      {"backward compares unsigned", -1000, 0xFFFFFFFFu, 2, 3000, seekedTo(3000)},
  };
  for (const SeekCase& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addClockedStream(kThree);
    stream->setRate(row.rate);
    clearRecordedMessages();
    std::uint32_t found = 77;
    EXPECT_EQ(stream->seekStream(row.time, &found, 0), kStatusOk);
    EXPECT_EQ(found, row.result);
    EXPECT_EQ(stream->position, row.position);
    EXPECT_EQ(logged(), std::vector<Logged>{row.log});
  }
}

TEST_F(OverlayStreamTest, FindsTheNextBoundaryWithoutMoving) {
  struct Case {
    const char* name;
    std::int32_t rate;
    std::uint32_t time;
    std::uint32_t result;
  };
  const Case cases[] = {
      {"forward before every entry", 1000, 0, 1000},
      {"forward at a start", 1000, 1000, 1000},
      {"forward just after a start", 1000, 1001, 2000},
      {"forward at the last start", 1000, 3000, 3000},
      {"forward after the last start gives the last end", 1000, 3001, 3500},
      {"backward just after an end", -1000, 1501, 1000},
      {"backward at the first end gives the first start - 1", -1000, 1500, 999},
      {"backward before every entry gives the first start - 1", -1000, 0, 999},
      {"backward just after a later end", -1000, 2501, 2000},
      {"backward compares unsigned", -1000, 0xFFFFFFFFu, 3000},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addClockedStream(kThree);
    stream->setRate(row.rate);
    const std::int32_t position = stream->position;
    clearRecordedMessages();
    std::uint32_t found = 77;
    EXPECT_EQ(stream->findNextTime(0, row.time, &found), kStatusOk);
    EXPECT_EQ(found, row.result);
    EXPECT_EQ(stream->position, position);
    EXPECT_EQ(stream->getCurrentTime(), 0u);
    EXPECT_TRUE(logged().empty());
  }
}

TEST_F(OverlayStreamTest, AStoppedStreamRefusesSeekingAndSearching) {
  OverlayStream* stream = addClockedStream(kThree);
  stream->setRate(0);
  clearRecordedMessages();
  std::uint32_t found = 77;
  EXPECT_EQ(stream->seekStream(2200, &found, 0), kStatusFailure);
  EXPECT_EQ(stream->findNextTime(0, 2200, &found), kStatusFailure);
  EXPECT_EQ(found, 77u);
  EXPECT_EQ(stream->position, 0);
  EXPECT_TRUE(logged().empty());
}

TEST_F(OverlayStreamTest, AnEmptyStreamEchoesTheTimeInEveryDirection) {
  for (const std::int32_t rate : {1000, -1000, 0}) {
    SCOPED_TRACE(rate);
    OverlayStream* stream = addClockedStream({});
    // Without entries a change of rate only stores the rate.
    EXPECT_TRUE(stream->setRate(rate));
    EXPECT_EQ(stream->getRate(), rate);
    std::uint32_t found = 0;
    EXPECT_EQ(stream->seekStream(1234, &found, 0), kStatusOk);
    EXPECT_EQ(found, 1234u);
    found = 0;
    EXPECT_EQ(stream->findNextTime(0, 4321, &found), kStatusOk);
    EXPECT_EQ(found, 4321u);
    EXPECT_EQ(stream->position, 0);
    const Read result = read(stream);
    EXPECT_EQ(result.status, kStatusOk);
    EXPECT_EQ(result.chunk, nullptr);
    EXPECT_TRUE(logged().empty());
  }
}

TEST_F(OverlayStreamTest, ChangingTheRateReseeksInTheOldDirection) {
  struct Case {
    const char* name;
    std::int32_t rate;  // in force before the change
    int reads;          // entries read before the change
    std::int32_t newRate;
    std::vector<Logged> log;
    std::int32_t position;
    std::vector<std::uint32_t> startsAfter;
  };
  const Case cases[] = {
      {"the same rate does nothing", 1000, 1, 1000, {}, 1, {2000, 3000}},
      {"forward to backward seeks forward to the current entry's end",
       1000,
       1,
       -1000,
       {seekedTo(2000)},
       1,
       {2000, 1000}},
      {"forward off the end to backward takes the last entry", 1000, 3, -1000, {seekedTo(3000)}, 2, {3000, 2000, 1000}},
      {"backward off the front to forward seeks backward to the first start",
       -1000,
       1,
       1000,
       {seekedTo(1000)},
       0,
       {1000, 2000, 3000}},
      {"forward to stopped seeks forward to the current start", 1000, 1, 0, {seekedTo(2000)}, 1, {}},
      {"stopped to forward cannot seek", 0, 0, 1000, {}, 0, {1000, 2000, 3000}},
  };
  clock.now = 10000;
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addClockedStream(kThree);
    stream->setRate(row.rate);
    for (int i = 0; i < row.reads; ++i) EXPECT_NE(read(stream).chunk, nullptr);
    clearRecordedMessages();
    EXPECT_TRUE(stream->setRate(row.newRate));
    EXPECT_EQ(stream->getRate(), row.newRate);
    EXPECT_EQ(logged(), row.log);
    EXPECT_EQ(stream->position, row.position);
    EXPECT_EQ(readAll(stream), row.startsAfter);
  }
}

TEST_F(OverlayStreamTest, ResetGoesBackToTheFirstEntryInTheReadingDirection) {
  clock.now = 10000;
  OverlayStream* stream = addClockedStream(kThree);
  readAll(stream);
  EXPECT_EQ(stream->resetPosition(), kStatusOk);
  EXPECT_EQ(stream->position, 0);
  stream->setRate(-1000);
  EXPECT_EQ(stream->resetPosition(), kStatusOk);
  EXPECT_EQ(stream->position, 2);
  EXPECT_EQ(readAll(stream), (std::vector<std::uint32_t>{3000, 2000, 1000}));
  OverlayStream* empty = addClockedStream({});
  empty->setRate(-1000);
  EXPECT_EQ(empty->resetPosition(), kStatusOk);
  EXPECT_EQ(empty->position, -1);
}

TEST_F(OverlayStreamTest, DescribesItselfToTheHost) {
  const std::uint64_t id = owner.nextIdentifier;
  OverlayStream* stream = addStream(kThree);
  const StreamFormat* format = stream->getStreamFormat();
  EXPECT_EQ(std::string(format->code, sizeof format->code), std::string("UTF8\0\0\0\0", 8));
  EXPECT_EQ(format->recordSize, 20u);
  EXPECT_EQ(format->unitSize, 4u);
  EXPECT_EQ(format->flags, 0u);
  const ImageProperties* properties = stream->getProperties();
  EXPECT_EQ(properties->width, 640);
  EXPECT_EQ(properties->height, 480);
  EXPECT_EQ(properties->factorA, 1);
  EXPECT_EQ(stream->getStreamType(), 320u);
  EXPECT_EQ(stream->getStreamTag(), 0u);
  EXPECT_EQ(stream->streamNumber, 0);
  EXPECT_EQ(stream->containerId, 42u);
  EXPECT_EQ(stream->streamId, id);
  EXPECT_EQ(stream->getRate(), 1000);
  EXPECT_EQ(stream->reservedA(), 0u);
  EXPECT_EQ(stream->reservedB(), 0u);
  EXPECT_FALSE(stream->queryContainerOption(1));
  const List<StreamInterface*> linked = stream->getLinkedStreams(0);
  EXPECT_EQ(linked.nodeCount, 0u);
}

TEST_F(OverlayStreamTest, StreamInfoCopiesOnlyTheStringsThatHoldText) {
  struct Case {
    const char* name;
    const char* streamName;
    const char* language;
    const char* region;
    bool result;
    const char* nameOut;
    const char* languageOut;
    const char* regionOut;
  };
  const Case cases[] = {
      {"all three hold text", "a.sub", "de", "AT", true, "a.sub", "de", "AT"},
      {"empty language and region are left alone", "a.sub", "", "", true, "a.sub", "old", "old"},
      {"only the region holds text", "", "", "AT", true, "old", "old", "AT"},
      {"nothing holds text", "", "", "", false, "old", "old", "old"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    OverlayStream* stream = addStream({}, row.language, row.region, row.streamName);
    String<unsigned char> nameOut = String<unsigned char>::fromView("old");
    String<char> languageOut = String<char>::fromView("old");
    String<char> regionOut = String<char>::fromView("old");
    EXPECT_EQ(stream->getStreamInfo(&nameOut, &languageOut, &regionOut, 0), row.result);
    EXPECT_EQ(nameOut.toStdString(), row.nameOut);
    EXPECT_EQ(languageOut.toStdString(), row.languageOut);
    EXPECT_EQ(regionOut.toStdString(), row.regionOut);
    EXPECT_FALSE(stream->getStreamInfo(nullptr, nullptr, nullptr, 0));
  }
}

}  // namespace
}  // namespace Kelvo::testing
