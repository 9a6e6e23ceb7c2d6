// Opening generated SUB files through the container, in-process: the open
// alone (read, decode, parse, entries, stream), and the whole run of a host's
// JSON dump (open, activate, read and write every chunk, close).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "bench_files.h"
#include "bench_host.h"
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
