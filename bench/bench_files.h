// Input files of the benchmarks: SUB files made by the project's generator on
// first use, kept in the build folder and reused by later runs, and the
// code-page settings a host gives for each encoding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_host.h"

namespace Kelvo::bench {

enum class Encoding { kUtf8, kUtf16Le, kWindows1251 };

inline const char* encodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      return "utf8";
    case Encoding::kUtf16Le:
      return "utf16le";
    case Encoding::kWindows1251:
      return "windows-1251";
  }
  return "";
}

// The path of a generated file of `entries` entries in `encoding`: UTF-8
// without a mark, UTF-16LE with its mark, or windows-1251 (the generator's few
// characters outside that code page become "?"). Ends the program when the
// file cannot be made.
inline std::string generatedFile(std::uint32_t entries, Encoding encoding = Encoding::kUtf8) {
  const std::filesystem::path folder = SUB_BENCH_DATA_DIR;
  const std::filesystem::path file =
      folder / ("gen-" + std::to_string(entries) + "-" + encodingName(encoding) + ".sub");
  if (std::filesystem::exists(file)) return file.string();
  std::filesystem::create_directories(folder);
  const std::string partial = file.string() + ".partial";
  const std::string generator = std::string("python3 '") + SUB_GEN_SUB + "' " + std::to_string(entries) + " '";
  std::string command;
  switch (encoding) {
    case Encoding::kUtf8:
      command = generator + partial + "'";
      break;
    case Encoding::kUtf16Le:
      command = generator + partial + "' --encoding utf-16-le --bom";
      break;
    case Encoding::kWindows1251:
      command = generator + partial +
                ".utf8' && python3 -c \"import sys; open(sys.argv[2], 'wb').write(open(sys.argv[1], "
                "encoding='utf-8', newline='').read().encode('cp1251', 'replace'))\" '" +
                partial + ".utf8' '" + partial + "' && rm '" + partial + ".utf8'";
      break;
  }
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "cannot generate %s with %s\n", file.c_str(), SUB_GEN_SUB);
    std::exit(2);
  }
  std::filesystem::rename(partial, file);
  return file.string();
}

// Gives `owner` the code-page settings under which a host reads `encoding`:
// the signature decides for UTF-16LE, the code page is named for windows-1251.
inline void answerCodePage(testing::FakeOwner& owner, Encoding encoding) {
  if (encoding == Encoding::kUtf16Le) owner.setBoolean("CodePage/OverrideEmbedded", false);
  if (encoding == Encoding::kWindows1251) owner.setText("CodePage/Name", "windows-1251");
}

}  // namespace Kelvo::bench
