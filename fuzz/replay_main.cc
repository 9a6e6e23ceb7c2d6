// The replay main linked in place of the fuzzing engine: runs every file
// named on the command line, and every file inside a named folder (in name
// order), through LLVMFuzzerTestOneInput once. Any compiler builds it, so a
// crash file reproduces without the engine. Exit status 0 when every input
// ran, 1 when an argument cannot be read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Its own allocation of exactly the input's size, even when it is empty.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path argument(argv[i]);
    std::error_code error;
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(argument, error)) {
      for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(argument);
    }
    for (const auto& file : files) {
      if (!replay(file)) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return 1;
      }
      ++replayed;
    }
  }
  std::printf("replayed %zu inputs\n", replayed);
  return 0;
}
