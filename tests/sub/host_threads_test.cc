// The host's threads at once: four threads read, seek, change the rate and
// find times on the two streams of a file opened twice, while a fifth closes
// the streams and opens the file again, round after round. The host keeps
// every stream it was given until the end, as a host may, so a thread still
// holding a closed stream reads it as an empty one. Run under the thread
// sanitizer, this shows the locking; here it shows that every chunk is the
// entry it claims to be and every answer is one the interface defines.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "container_fixture.h"
#include "temp_files.h"

namespace Kelvo::testing {
namespace {

// A clock that any thread may ask.
class SharedClock final : public MediaClock {
 public:
  std::int32_t getMediaTime() override { return now.load(); }
  std::atomic<std::int32_t> now{0};
};

// Entries every 100 ms whose text is their start time.
std::string numberedFile(int entries) {
  std::string file;
  for (int i = 0; i < entries; ++i) {
    const int start = i * 100;
    char line[64];
    std::snprintf(line, sizeof line, "0:0:%d.%03d,0:0:%d.%03d\n%d\n", start / 1000, start % 1000, start / 1000,
                  start % 1000 + 50, start);
    file += line;
  }
  return file;
}

bool isDefined(Status status) { return status == kStatusOk || status == kStatusNotYet || status == kStatusFailure; }

TEST(HostThreads, FourThreadsUseTwoStreamsWhileAFifthClosesAndReopens) {
  setRecordingEnabled(false);
  TempFolder files;
  String<unsigned char> url =
      String<unsigned char>::fromView("file://" + files.write("numbered.sub", numberedFile(100)).string());
  SourceDescriptor source{0, &url};
  ContainerRig rig;
  SharedClock clock;

  // The streams the host currently plays, replaced by the fifth thread.
  std::mutex playing;
  std::vector<StreamInterface*> current;
  const auto openTwiceAndActivate = [&] {
    const std::size_t before = rig.owner.added.size();
    EXPECT_EQ(rig.container->open(&source), kStatusOk);
    EXPECT_EQ(rig.container->open(&source), kStatusOk);
    EXPECT_EQ(rig.container->activatePresentation(rig.container->getPresentations().at(0)), kStatusOk);
    ASSERT_EQ(rig.owner.added.size(), before + 2);
    std::vector<StreamInterface*> fresh(rig.owner.added.begin() + static_cast<std::ptrdiff_t>(before),
                                        rig.owner.added.end());
    for (StreamInterface* stream : fresh) EXPECT_EQ(stream->setClock(&clock), kStatusOk);
    const std::lock_guard<std::mutex> guard(playing);
    current = fresh;
  };
  openTwiceAndActivate();

  constexpr int kRounds = 4000;
  constexpr int kReopenings = 100;
  std::atomic<int> wrongChunks{0};
  std::atomic<int> undefinedAnswers{0};
  const auto player = [&](int seed) {
    for (int round = 0; round < kRounds; ++round) {
      std::vector<StreamInterface*> streams;
      {
        const std::lock_guard<std::mutex> guard(playing);
        streams = current;
      }
      StreamInterface* stream = streams[static_cast<std::size_t>(round + seed) % streams.size()];
      const auto time = static_cast<std::uint32_t>((round * 37 + seed * 1000) % 11000);
      std::uint32_t found = 0;
      switch ((round + seed) % 6) {
        case 0:
        case 1: {
          MediaChunk* chunk = nullptr;
          const Status status = stream->readStream(&chunk);
          if (!isDefined(status)) ++undefinedAnswers;
          if (chunk != nullptr) {
            if (textOf(chunk) != std::to_string(chunk->timestamp)) ++wrongChunks;
            chunk->dispose();
          }
          break;
        }
        case 2:
          if (!isDefined(stream->seekStream(time, &found, 0))) ++undefinedAnswers;
          break;
        case 3: {
          stream->setRate(round % 5 == 0 ? -1000 : 1000);
          const std::int32_t rate = stream->getRate();  // whichever thread set it last
          if (rate != 1000 && rate != -1000) ++undefinedAnswers;
          break;
        }
        case 4:
          if (!isDefined(stream->findNextTime(0, time, &found))) ++undefinedAnswers;
          break;
        default: {
          clock.now = static_cast<std::int32_t>(time);
          // Nothing delivered yet, or the end of an entry: 50 ms after its start.
          const std::uint32_t delivered = stream->getCurrentTime();
          if (delivered != 0 && delivered % 100 != 50) ++wrongChunks;
          break;
        }
      }
    }
  };
  std::vector<std::thread> players;
  for (int seed = 0; seed < 4; ++seed) players.emplace_back(player, seed);
  std::thread reopener([&] {
    for (int round = 0; round < kReopenings; ++round) {
      EXPECT_EQ(rig.container->closeStreams(false), kStatusOk);
      openTwiceAndActivate();
    }
  });
  for (std::thread& thread : players) thread.join();
  reopener.join();
  setRecordingEnabled(true);

  EXPECT_EQ(wrongChunks.load(), 0);
  EXPECT_EQ(undefinedAnswers.load(), 0);
  // The streams of the last opening still play from the start.
  clock.now = 0;
  for (StreamInterface* stream : current) {
    ASSERT_TRUE(stream->setRate(1000));
    ASSERT_EQ(stream->resetPosition(), kStatusOk);
    MediaChunk* chunk = nullptr;
    ASSERT_EQ(stream->readStream(&chunk), kStatusOk);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(textOf(chunk), "0");
    chunk->dispose();
  }
  EXPECT_EQ(rig.owner.added.size(), 2u * (kReopenings + 1));
  EXPECT_EQ(rig.owner.removed.size(), 2u * kReopenings);
  EXPECT_EQ(rig.container->streams.size(), 2u);
}

}  // namespace
}  // namespace Kelvo::testing
