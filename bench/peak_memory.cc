// Opens one SUB file through the plug-in module, loaded with the platform
// loader as a host loads it, and prints the process's peak resident memory
// just before the open and after it, the open's wall time and, with --dump,
// the time to activate, read every chunk and write it as JSON to /dev/null.
//
//   peak_memory [--dump] [--plugin MODULE] ENTRIES [utf8|utf16le|windows-1251]
//   peak_memory [--dump] [--plugin MODULE] FILE [CODEPAGE]
//
// ENTRIES names a generated file; MODULE defaults to the module built beside.
// One line of key=value pairs; sizes in KiB, times in milliseconds (wall
// clock, and the process's user and system time as *_cpu_ms).
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

#include "bench_files.h"
#include "bench_host.h"
#include "platform/dynamic_library.h"

namespace {

using Kelvo::bench::Encoding;

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User and system time of the process so far.
double cpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int usage() {
  std::fprintf(stderr,
               "usage: peak_memory [--dump] [--plugin MODULE] ENTRIES [utf8|utf16le|windows-1251]\n"
               "       peak_memory [--dump] [--plugin MODULE] FILE [CODEPAGE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int next = 1;
  const bool dump = next < argc && std::strcmp(argv[next], "--dump") == 0;
  if (dump) ++next;
  const char* modulePath = SUB_MODULE_PATH;
  if (next + 1 < argc && std::strcmp(argv[next], "--plugin") == 0) {
    modulePath = argv[next + 1];
    next += 2;
  }
  if (next >= argc || argc - next > 2) return usage();
  const std::string_view subject = argv[next];
  const char* qualifier = next + 1 < argc ? argv[next + 1] : nullptr;

  std::string path;
  Kelvo::testing::FakeOwner settings;
  if (subject.find_first_not_of("0123456789") == std::string_view::npos) {
    Encoding encoding = Encoding::kUtf8;
    for (Encoding known : {Encoding::kUtf8, Encoding::kUtf16Le, Encoding::kWindows1251}) {
      if (qualifier != nullptr && std::strcmp(qualifier, Kelvo::bench::encodingName(known)) == 0) encoding = known;
    }
    path = Kelvo::bench::generatedFile(static_cast<std::uint32_t>(std::stoul(std::string(subject))), encoding);
    Kelvo::bench::answerCodePage(settings, encoding);
  } else {
    path = std::filesystem::absolute(subject).string();
    if (qualifier != nullptr) settings.setText("CodePage/Name", qualifier);
  }

  Kelvo::platform::DynamicLibrary module = Kelvo::platform::DynamicLibrary::load(modulePath);
  const auto getPlugin =
      module.loaded() ? reinterpret_cast<Kelvo::bench::HostRig::GetPluginFn>(module.find("_getPlugin")) : nullptr;
  if (getPlugin == nullptr) {
    std::fprintf(stderr, "cannot load %s\n", modulePath);
    return 1;
  }
  int status = 0;
  {
    Kelvo::bench::HostRig rig(getPlugin);
    rig.owner.answers = settings.answers;

    const long baseline = peakResidentKiB();
    const auto openStart = std::chrono::steady_clock::now();
    const double openCpuStart = cpuMilliseconds();
    const Kelvo::Status opened = rig.open(path);
    const double openMs = millisecondsSince(openStart);
    const double openCpuMs = cpuMilliseconds() - openCpuStart;
    const long peak = peakResidentKiB();
    if (opened != Kelvo::kStatusOk) {
      std::fprintf(stderr, "the plug-in refused %s\n", path.c_str());
      status = 1;
    } else {
      std::printf("file=%s bytes=%ju baseline_kb=%ld peak_kb=%ld open_kb=%ld open_ms=%.2f open_cpu_ms=%.2f",
                  path.c_str(), static_cast<std::uintmax_t>(std::filesystem::file_size(path)), baseline, peak,
                  peak - baseline, openMs, openCpuMs);
      if (dump) {
        const auto dumpStart = std::chrono::steady_clock::now();
        const double dumpCpuStart = cpuMilliseconds();
        std::FILE* sink = std::fopen("/dev/null", "wb");
        Kelvo::StreamInterface* stream = rig.activate(std::numeric_limits<std::int32_t>::max());
        const std::uint64_t chunks = stream == nullptr ? 0 : Kelvo::bench::dumpJson(stream, sink);
        std::fclose(sink);
        std::printf(" chunks=%ju dump_ms=%.2f dump_cpu_ms=%.2f", static_cast<std::uintmax_t>(chunks),
                    millisecondsSince(dumpStart), cpuMilliseconds() - dumpCpuStart);
      }
      std::printf("\n");
    }
  }
  return status;
}
