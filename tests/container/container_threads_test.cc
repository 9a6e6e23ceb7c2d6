// The container and its stream called from several threads at once, as a host
// may: reading, seeking and searching while another thread closes the streams,
// and two containers activating for the first time together.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "container_fixture.h"

namespace Kelvo::testing {
namespace {

using ContainerThreadsTest = ContainerFixture;

TEST_F(ContainerThreadsTest, ReadingSeekingAndSearchingRaceAClose) {
  std::vector<Entry> entries;
  for (std::uint32_t start = 0; start < 50 * 100; start += 100) entries.push_back({start, 50, std::to_string(start)});
  clock.now = 1000000;  // everything is due
  OverlayStream* stream = addClockedStream(entries);
  setRecordingEnabled(false);

  constexpr int kRounds = 2000;
  std::atomic<int> started{0};
  std::atomic<int> wrongChunks{0};
  std::atomic<int> failures{0};
  auto reader = [&](std::uint32_t seekTo) {
    for (int round = 0; round < kRounds; ++round) {
      MediaChunk* chunk = nullptr;
      const Status status = stream->readStream(&chunk);
      if (chunk != nullptr) {
        if (textOf(chunk) != std::to_string(chunk->timestamp)) ++wrongChunks;
        chunk->dispose();
      } else if (status == kStatusOk) {
        std::uint32_t found = 0;
        if (stream->seekStream(seekTo, &found, 0) != kStatusOk) ++failures;
      }
      std::uint32_t next = 0;
      if (stream->findNextTime(0, static_cast<std::uint32_t>(round), &next) != kStatusOk) ++failures;
      if (round == 0) ++started;
    }
  };
  std::thread first(reader, 0u);
  std::thread second(reader, 2500u);
  std::thread closer([&] {
    while (started.load() < 2) std::this_thread::yield();
    EXPECT_EQ(container->closeStreams(false), kStatusOk);
  });
  first.join();
  second.join();
  closer.join();
  setRecordingEnabled(true);

  EXPECT_EQ(wrongChunks.load(), 0);
  EXPECT_EQ(failures.load(), 0);
  EXPECT_TRUE(container->streams.empty());
  EXPECT_TRUE(stream->entries.empty());
  EXPECT_EQ(owner.removed, std::vector<std::uint64_t>{stream->streamId});
  EXPECT_EQ(read(stream).chunk, nullptr);
}

// Each container is driven by its own thread; the shared language map is
// built for the first time while both activate.
TEST(ContainerThreads, TwoContainersActivatingTogetherShareTheLanguageMap) {
  ContainerRig sides[2];
  std::vector<std::uint64_t> expected;
  for (ContainerRig& side : sides) {
    side.addStream({{1000, 10, "en"}}, "eng");
    OverlayStream* french = side.addStream({{1000, 10, "fr"}}, "fr");
    expected.push_back(french->streamId);
    side.owner.preferredLanguage = "fre";
    side.container->getPresentations();
  }
  std::vector<std::thread> threads;
  Status results[2] = {kStatusFailure, kStatusFailure};
  for (int i = 0; i < 2; ++i) {
    threads.emplace_back([&sides, &results, i] {
      results[i] = sides[i].container->activatePresentation(sides[i].container->presentationId);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(results[i], kStatusOk);
    EXPECT_EQ(sides[i].owner.selected, std::vector<std::uint64_t>{expected[i]});
  }
}

}  // namespace
}  // namespace Kelvo::testing
