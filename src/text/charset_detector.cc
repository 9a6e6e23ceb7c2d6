#include "text/charset_detector.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "text/encoding.h"
#include "text/ucnv_library.h"
#include "text/ucsdet_library.h"

namespace Kelvo {

namespace {

using Quarnel::UErrorCode;

// The detector's cost grows with its sample, about 0.25 µs a byte, and must
// stay below that of converting a film (about 90 µs for 1,500 entries in a
// single-byte code page). 256 bytes of text lines were right as often as
// 8 KiB over our test texts; only Slovak, which the detector has no profile
// for, needed more (about 900) to be told from windows-1252.
constexpr std::uint32_t kSampleBytes = 256;

// A text with at least this many well-formed multi-byte sequences per stray
// byte is UTF-8 with some damage. Legacy code pages stay well below it: in
// subtitle dialogue we measured at most 0.04 for single-byte pages, 0.5 for
// Shift_JIS and 1.0 for GBK on one line (0.35 over twenty entries).
constexpr std::uint32_t kUtf8SequencesPerStrayByte = 2;

// ICU names an ISO code page when its sample holds no byte 80-9F and the
// Windows code page built on it otherwise. Subtitles hold no C1 control
// characters, so such a byte anywhere in the text makes it the Windows one.
struct WindowsTwin {
  std::string_view iso;
  const char* windows;
};
constexpr WindowsTwin kWindowsTwins[] = {
    {"ISO-8859-1", "windows-1252"}, {"ISO-8859-2", "windows-1250"},   {"ISO-8859-7", "windows-1253"},
    {"ISO-8859-8", "windows-1255"}, {"ISO-8859-8-I", "windows-1255"}, {"ISO-8859-9", "windows-1254"},
};

// The lines of the text that hold a byte beyond ASCII, up to kSampleBytes:
// time lines and lines of plain ASCII say nothing about the code page.
std::string sampleOf(const std::uint8_t* bytes, std::uint32_t count) {
  std::string sample;
  const std::uint8_t* const end = bytes + count;
  for (const std::uint8_t* line = bytes; line < end && sample.size() < kSampleBytes;) {
    const auto* newline = static_cast<const std::uint8_t*>(std::memchr(line, '\n', end - line));
    const std::uint8_t* const next = newline == nullptr ? end : newline + 1;
    if (std::any_of(line, next, [](std::uint8_t byte) { return byte >= 0x80; })) {
      sample.append(reinterpret_cast<const char*>(line),
                    std::min<std::size_t>(next - line, kSampleBytes - sample.size()));
    }
    line = next;
  }
  return sample;
}

// True when the sample's bytes beyond ASCII are mostly well-formed UTF-8.
bool isMostlyUtf8(const std::string& sample) {
  const auto* const end = reinterpret_cast<const std::uint8_t*>(sample.data() + sample.size());
  std::uint32_t wellFormed = 0;  // legal multi-byte sequences
  std::uint32_t illFormed = 0;   // bytes that belong to no legal sequence
  for (const auto* at = reinterpret_cast<const std::uint8_t*>(sample.data()); at < end;) {
    if (*at < 0x80) {
      ++at;
    } else if (isLegalUtf8Sequence(at, end)) {
      ++wellFormed;
      at += *at < 0xE0 ? 2 : *at < 0xF0 ? 3 : 4;
    } else {
      ++illFormed;
      ++at;
    }
  }
  return wellFormed >= illFormed * kUtf8SequencesPerStrayByte;
}

bool holdsC1Bytes(const std::uint8_t* bytes, std::uint32_t count) {
  return std::any_of(bytes, bytes + count, [](std::uint8_t byte) { return byte >= 0x80 && byte < 0xA0; });
}

// A detector opened through the binding, closed when this object dies.
class OpenDetector final {
 public:
  // ICU answers null when it cannot open one.
  explicit OpenDetector(const Quarnel::UCSDetLibrary& binding) : icu(binding) {
    UErrorCode status = Quarnel::kUZeroError;
    detector = icu.open(&status);
  }
  OpenDetector(const OpenDetector&) = delete;
  OpenDetector& operator=(const OpenDetector&) = delete;
  ~OpenDetector() {
    if (detector != nullptr) icu.close(detector);
  }

  const Quarnel::UCSDetLibrary& icu;
  Quarnel::UCharsetDetector* detector;
};

}  // namespace

std::optional<DetectedCharset> detectCharset(const std::uint8_t* bytes, std::uint32_t count,
                                             const Quarnel::UCSDetLibrary& detector) {
  if (bytes == nullptr) return std::nullopt;
  const std::string sample = sampleOf(bytes, count);
  if (isMostlyUtf8(sample)) return std::nullopt;

  const OpenDetector opened(detector);
  if (opened.detector == nullptr) return std::nullopt;
  UErrorCode status = Quarnel::kUZeroError;
  detector.setText(opened.detector, sample.data(), static_cast<std::int32_t>(sample.size()), &status);
  const Quarnel::UCharsetMatch* match = detector.detect(opened.detector, &status);
  if (match == nullptr) return std::nullopt;  // no code page fits at all
  const char* name = detector.getName(match, &status);
  const std::int32_t confidence = detector.getConfidence(match, &status);
  if (name == nullptr || Quarnel::isFailure(status)) return std::nullopt;

  // Copied before the detector, which owns the name, is closed.
  DetectedCharset detected{name, confidence};
  for (const WindowsTwin& twin : kWindowsTwins) {
    if (twin.iso == detected.name && holdsC1Bytes(bytes, count)) detected.name = twin.windows;
  }
  return detected;
}

bool isTrusted(const DetectedCharset& detected) {
  if (detected.confidence < kTrustedCharsetConfidence) return false;
  const Quarnel::UCNVLibrary& icu = *Quarnel::UCNVLibrary::instance();
  UErrorCode status = Quarnel::kUZeroError;
  Quarnel::UConverter* converter = icu.open(detected.name.c_str(), &status);
  if (converter == nullptr) return false;
  icu.close(converter);
  return !Quarnel::isFailure(status);
}

}  // namespace Kelvo
