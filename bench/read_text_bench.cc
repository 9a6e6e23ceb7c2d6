// Reading and decoding whole generated files with readTextFile: UTF-8 as it
// is, UTF-16LE by its byte-order mark, windows-1251 by the code page a host
// names.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "bench_files.h"
#include "text/parser_utilities.h"

namespace Kelvo::bench {
namespace {

void BM_ReadTextFile(benchmark::State& state) {
  const auto encoding = static_cast<Encoding>(state.range(1));
  const std::string file = generatedFile(static_cast<std::uint32_t>(state.range(0)), encoding);
  const String<unsigned char> path = String<unsigned char>::fromView(file);
  testing::FakeOwner owner;
  answerCodePage(owner, encoding);
  for (auto _ : state) {
    String<unsigned char> text;
    if (!ParserUtilities::readTextFile(path, &owner, &text, -1)) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(text.chars);
  }
  state.SetLabel(encodingName(encoding));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadTextFile)
    ->ArgsProduct({{100000, 1000000},
                   {static_cast<int>(Encoding::kUtf8), static_cast<int>(Encoding::kUtf16Le),
                    static_cast<int>(Encoding::kWindows1251)}})
    ->ArgNames({"entries", "encoding"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace Kelvo::bench

BENCHMARK_MAIN();
