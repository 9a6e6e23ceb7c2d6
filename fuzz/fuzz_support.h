// What the fuzz targets share: the input copied into its own allocation,
// a check that stays on in optimised builds, the file that the bytes become,
// and the host's settings picked by a byte of the input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "test_host.h"

// Stops the run with a message when an invariant fails; unlike assert it
// also holds in the optimised fuzzing build.
#define SUB_FUZZ_CHECK(condition)                                                            \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

namespace Kelvo::fuzzing {

// Inputs above this many bytes are skipped: they find nothing small ones do not.
inline constexpr std::size_t kMaxInputBytes = 1 << 20;

// The input in a block of exactly its size, so that reading past its end
// trips the address sanitizer.
class InputCopy {
 public:
  InputCopy(const std::uint8_t* data, std::size_t size) : bytes_(new std::uint8_t[size]), size_(size) {
    if (size != 0) std::copy(data, data + size, bytes_.get());
  }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_;
};

// Takes values from the front of the input, zeros once it is used up.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : next_(data), end_(data + size) {}
  std::uint8_t byte() { return next_ == end_ ? 0 : *next_++; }
  std::uint32_t word() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | byte();
    return value;
  }
  // The next `count` bytes, fewer when the input ends first.
  std::string_view take(std::size_t count) {
    const std::size_t available = static_cast<std::size_t>(end_ - next_);
    if (count > available) count = available;
    const std::string_view taken(reinterpret_cast<const char*>(next_), count);
    next_ += count;
    return taken;
  }
  std::string_view rest() { return take(static_cast<std::size_t>(end_ - next_)); }
  bool empty() const { return next_ == end_; }

 private:
  const std::uint8_t* next_;
  const std::uint8_t* end_;
};

// One file in the temporary folder that each input is written to in turn;
// removed when the process ends normally.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& extension) {
    path_ = std::filesystem::temp_directory_path() / ("subfuzz-" + std::to_string(std::random_device()()) + extension);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  // Replaces the file's contents with `bytes`.
  void write(std::string_view bytes) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    SUB_FUZZ_CHECK(file != nullptr);
    if (!bytes.empty()) SUB_FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    SUB_FUZZ_CHECK(std::fclose(file) == 0);
  }
  std::string path() const { return path_.string(); }
  std::string url() const { return "file://" + path_.string(); }

 private:
  std::filesystem::path path_;
};

// The code pages a setting byte picks from: none, the usual ones, the
// signature encodings, a name the converter refuses and an empty one.
inline constexpr const char* kCodePages[] = {
    nullptr, "UTF-8",  "windows-1251", "windows-1252", "UTF-16LE", "UTF-16BE",    "UTF-32",       "UTF-7",
    "SCSU",  "BOCU-1", "GB18030",      "Shift_JIS",    "ibm-930",  "ISO-2022-JP", "no-such-page", "",
};

// The "FrameRate"/"Ratio" answers a setting byte picks from.
struct RatioChoice {
  bool given;
  std::int32_t first;
  std::int32_t second;
};
inline constexpr RatioChoice kRatios[] = {
    {false, 0, 0}, {true, 1001, 24000}, {true, 1, 25},         {true, 0, 0},
    {true, 1, 1},  {true, -1, -1},      {true, 0x7FFFFFFF, 1}, {true, 1, 0x7FFFFFFF},
};

// Answers the owner's code-page questions as `settings` says: bit 0 whether
// "OverrideEmbedded" is answered, bit 1 its value, bits 2-5 the code page
// (kCodePages); `ratioByte` picks the frame rate (kRatios).
inline void configureOwner(testing::FakeOwner& owner, std::uint8_t settings, std::uint8_t ratioByte) {
  if ((settings & 1) != 0) owner.setBoolean("CodePage/OverrideEmbedded", (settings & 2) != 0);
  if (const char* page = kCodePages[(settings >> 2) & 15]; page != nullptr) owner.setText("CodePage/Name", page);
  const RatioChoice& ratio = kRatios[ratioByte % std::size(kRatios)];
  if (ratio.given) owner.setRatio("FrameRate/Ratio", ratio.first, ratio.second);
}

}  // namespace Kelvo::fuzzing
