// The cost of detecting the code page of a film-length file that declares
// none (1,500 entries, about 100 KB), beside the cost of converting it, for
// each legacy code page of the reader's tests; and the whole read through
// readTextFile with no code page configured.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "legacy_subtitles.h"
#include "text/charset_detector.h"
#include "text/encoding.h"
#include "text/parser_utilities.h"
#include "text/ucsdet_library.h"

namespace {

using Kelvo::testing::LegacySubtitles;

constexpr std::size_t kFilmEntries = 1500;

struct Film {
  std::string bytes;  // in the sample's code page
  std::filesystem::path path;
};

std::string encodeIn(const char* codePage, const std::string& utf8) {
  char16_t* units = nullptr;
  std::uint32_t count = 0;
  Kelvo::toUtf16("UTF-8", reinterpret_cast<const std::uint8_t*>(utf8.data()), static_cast<std::uint32_t>(utf8.size()),
                 &units, &count);
  const std::unique_ptr<char16_t[]> ownedUnits(units);
  std::uint8_t* bytes = nullptr;
  std::uint32_t byteCount = 0;
  Kelvo::fromUtf16(codePage, units, count, &bytes, &byteCount);
  const std::unique_ptr<std::uint8_t[]> ownedBytes(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), byteCount);
}

const std::uint8_t* bytesOf(const Film& film) { return reinterpret_cast<const std::uint8_t*>(film.bytes.data()); }
std::uint32_t sizeOf(const Film& film) { return static_cast<std::uint32_t>(film.bytes.size()); }

// Detection as the reader runs it: the detector's answer, and whether to trust it.
void BM_DetectCharset(benchmark::State& state, const Film* film) {
  const Quarnel::UCSDetLibrary& detector = *Quarnel::UCSDetLibrary::instance();
  for (auto _ : state) {
    const auto detected = Kelvo::detectCharset(bytesOf(*film), sizeOf(*film), detector);
    bool trusted = detected && Kelvo::isTrusted(*detected);
    benchmark::DoNotOptimize(trusted);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * sizeOf(*film));
}

void BM_ConvertToUtf8(benchmark::State& state, const Film* film, const char* codePage) {
  for (auto _ : state) {
    std::string utf8 = Kelvo::convertToUtf8(codePage, bytesOf(*film), sizeOf(*film));
    benchmark::DoNotOptimize(utf8.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * sizeOf(*film));
}

void BM_ReadTextFile(benchmark::State& state, const Film* film) {
  const auto path = Kelvo::String<unsigned char>::fromView(film->path.string());
  for (auto _ : state) {
    Kelvo::String<unsigned char> text;
    if (!Kelvo::ParserUtilities::readTextFile(path, nullptr, &text, -1)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(text.chars);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * sizeOf(*film));
}

}  // namespace

int main(int argc, char** argv) {
  const auto folder = std::filesystem::temp_directory_path() / "detect_bench";
  std::filesystem::create_directories(folder);
  std::vector<std::unique_ptr<Film>> films;
  for (const LegacySubtitles& sample : Kelvo::testing::legacySubtitles()) {
    auto film = std::make_unique<Film>();
    film->bytes = encodeIn(sample.codePage, Kelvo::testing::subFileOf(sample.entries, kFilmEntries));
    film->path = folder / (std::string(sample.name) + ".sub");
    std::ofstream(film->path, std::ios::binary)
        .write(film->bytes.data(), static_cast<std::streamsize>(film->bytes.size()));
    const std::string name = sample.name;
    benchmark::RegisterBenchmark(("BM_DetectCharset/" + name).c_str(), BM_DetectCharset, film.get());
    benchmark::RegisterBenchmark(("BM_ConvertToUtf8/" + name).c_str(), BM_ConvertToUtf8, film.get(), sample.detectedAs);
    benchmark::RegisterBenchmark(("BM_ReadTextFile/" + name).c_str(), BM_ReadTextFile, film.get());
    films.push_back(std::move(film));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
