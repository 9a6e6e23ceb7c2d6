// The overlay stream of an opened generated file: one delivered chunk
// (readStream and the host's dispose), and the two searches at random times
// in each reading direction.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "bench_files.h"
#include "bench_host.h"
#include "sub/sub_container.h"

namespace Kelvo::bench {
namespace {

int inProcessPlugin(PluginHost* host, Plugin** object) {
  *object = new SUBContainer(host);
  return 0;
}

// One opened file per size, shared by every benchmark of the run.
HostRig& openedRig(std::uint32_t entries) {
  static std::map<std::uint32_t, std::unique_ptr<HostRig>> rigs;
  std::unique_ptr<HostRig>& rig = rigs[entries];
  if (rig == nullptr) {
    rig = std::make_unique<HostRig>(inProcessPlugin);
    if (rig->open(generatedFile(entries)) != kStatusOk) std::abort();
    if (rig->activate(std::numeric_limits<std::int32_t>::max()) == nullptr) std::abort();
  }
  return *rig;
}

StreamInterface* streamOf(std::uint32_t entries, std::int32_t rate) {
  StreamInterface* stream = openedRig(entries).owner.added.back();
  stream->setRate(rate);
  stream->resetPosition();
  return stream;
}

// Times spread evenly from 0 to a little past the last entry's end.
std::vector<std::uint32_t> randomTimes(StreamInterface* stream) {
  std::uint32_t last = 0;
  stream->setRate(1000);
  stream->seekStream(std::numeric_limits<std::uint32_t>::max(), &last, 0);
  std::mt19937 generator(7);
  std::uniform_int_distribution<std::uint32_t> spread(0, last + 1000);
  std::vector<std::uint32_t> times(4096);
  for (std::uint32_t& time : times) time = spread(generator);
  return times;
}

std::int32_t rateOf(const benchmark::State& state) { return state.range(1) != 0 ? 1000 : -1000; }

void BM_ReadStream(benchmark::State& state) {
  StreamInterface* stream = streamOf(static_cast<std::uint32_t>(state.range(0)), 1000);
  std::int64_t delivered = 0;
  for (auto _ : state) {
    MediaChunk* chunk = nullptr;
    stream->readStream(&chunk);
    if (chunk == nullptr) {
      stream->resetPosition();
      continue;
    }
    chunk->dispose();
    ++delivered;
  }
  state.SetItemsProcessed(delivered);
}
BENCHMARK(BM_ReadStream)->Arg(1500)->Arg(1000000);

// Times `search(stream, time, &found)` at random times over a stream of
// state.range(0) entries read in the direction of state.range(1).
template <typename Search>
void timeSearch(benchmark::State& state, Search search) {
  const auto entries = static_cast<std::uint32_t>(state.range(0));
  const std::vector<std::uint32_t> times = randomTimes(streamOf(entries, 1000));
  StreamInterface* stream = streamOf(entries, rateOf(state));
  std::size_t next = 0;
  for (auto _ : state) {
    std::uint32_t found = 0;
    search(*stream, times[next++ % times.size()], &found);
    benchmark::DoNotOptimize(found);
  }
}

void BM_SeekStream(benchmark::State& state) {
  timeSearch(state, [](StreamInterface& stream, std::uint32_t time, std::uint32_t* found) {
    stream.seekStream(time, found, 0);
  });
}
BENCHMARK(BM_SeekStream)->ArgsProduct({{1500, 100000, 1000000}, {1, 0}})->ArgNames({"entries", "forward"});

void BM_FindNextTime(benchmark::State& state) {
  timeSearch(state, [](StreamInterface& stream, std::uint32_t time, std::uint32_t* found) {
    stream.findNextTime(0, time, found);
  });
}
BENCHMARK(BM_FindNextTime)->ArgsProduct({{1500, 100000, 1000000}, {1, 0}})->ArgNames({"entries", "forward"});

}  // namespace
}  // namespace Kelvo::bench

BENCHMARK_MAIN();
