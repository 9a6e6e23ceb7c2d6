// Opening generated SUB files through the container, in-process: the open
// alone (read, decode, parse, entries, stream), the making of the entries
// alone, and the whole run of a host's JSON dump (open, activate, read and
// write every chunk, close).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_host.h"
#include "framework/media_buffer_allocator.h"
#include "sub/sub_container.h"

namespace Kelvo::bench {
namespace {

int inProcessPlugin(PluginHost* host, Plugin** object) {
  *object = new SUBContainer(host);
  return 0;
}

void BM_Open(benchmark::State& state) {
  const auto entries = static_cast<std::uint32_t>(state.range(0));
  const std::string path = generatedFile(entries);
  for (auto _ : state) {
    state.PauseTiming();
    auto rig = std::make_unique<HostRig>(inProcessPlugin);
    state.ResumeTiming();
    const Status status = rig->open(path);
    state.PauseTiming();
    if (status != kStatusOk) state.SkipWithError("open failed");
    rig.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * entries);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_Open)->Arg(1500)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the entries alone cost, the floor under an open: for each, a block of
// the generated files' average composed text (133 bytes with its NUL),
// written, and a chunk over it, as an open makes them. Releasing them is not
// timed.
void BM_MakeEntriesOnly(benchmark::State& state) {
  constexpr std::uint32_t kBlockBytes = 133;
  const auto entries = static_cast<std::size_t>(state.range(0));
  MediaBufferAllocator allocator;
  std::vector<MediaChunk*> chunks;
  chunks.reserve(entries);
  for (auto _ : state) {
    for (std::size_t i = 0; i < entries; ++i) {
      auto* block = new std::uint8_t[kBlockBytes];
      std::memset(block, 'x', kBlockBytes);
      MediaChunk* chunk = allocator.createChunk(block, kBlockBytes - 1);
      chunk->dataLength = kBlockBytes - 1;
      chunks.push_back(chunk);
    }
    state.PauseTiming();
    for (MediaChunk* chunk : chunks) allocator.releaseBuffer(chunk);
    chunks.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(entries));
}
BENCHMARK(BM_MakeEntriesOnly)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenAndDumpJson(benchmark::State& state) {
  const auto entries = static_cast<std::uint32_t>(state.range(0));
  const std::string path = generatedFile(entries);
  std::FILE* sink = std::fopen("/dev/null", "wb");
  std::uint64_t chunks = 0;
  for (auto _ : state) {
    HostRig rig(inProcessPlugin);
    StreamInterface* stream =
        rig.open(path) == kStatusOk ? rig.activate(std::numeric_limits<std::int32_t>::max()) : nullptr;
    if (stream == nullptr) {
      state.SkipWithError("open failed");
      break;
    }
    chunks = dumpJson(stream, sink);
  }
  std::fclose(sink);
  state.counters["chunks"] = static_cast<double>(chunks);
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_OpenAndDumpJson)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace Kelvo::bench

BENCHMARK_MAIN();
