#include "text/charset_detector.h"

#include <algorithm>
#include <cstring>

#include "text/encoding.h"
#include "text/ucnv_library.h"
#include "text/ucsdet_library.h"

namespace Kelvo {

namespace {

using Quarnel::UErrorCode;

// ICU's detector judges no more than the first 8 KiB it is given; passing no
// more keeps the cost of a detection bounded whatever the release.
constexpr std::uint32_t kSampleBytes = 8192;

// A text with at least this many well-formed multi-byte sequences per stray
// byte is UTF-8 with some damage. Legacy code pages stay well below it: in
// subtitle dialogue we measured at most 0.04 for single-byte pages, 0.5 for
// Shift_JIS and 1.0 for GBK on one line (0.35 over twenty entries).
constexpr std::uint32_t kUtf8SequencesPerStrayByte = 2;

// How the bytes of a text that is not strict UTF-8 divide.
struct Utf8Census {
  std::uint32_t wellFormed = 0;  // legal multi-byte sequences
  std::uint32_t illFormed = 0;   // bytes that belong to no legal sequence
  const std::uint8_t* firstIllFormed = nullptr;
};

Utf8Census takeCensus(const std::uint8_t* bytes, std::uint32_t count) {
  Utf8Census census;
  const std::uint8_t* const end = bytes + count;
  for (const std::uint8_t* at = bytes; at < end;) {
    if (*at < 0x80) {
      ++at;
    } else if (isLegalUtf8Sequence(at, end)) {
      ++census.wellFormed;
      at += *at < 0xE0 ? 2 : *at < 0xF0 ? 3 : 4;
    } else {
      if (census.firstIllFormed == nullptr) census.firstIllFormed = at;
      ++census.illFormed;
      ++at;
    }
  }
  return census;
}

// A detector opened through the binding, closed when this object dies.
class OpenDetector final {
 public:
  explicit OpenDetector(const Quarnel::UCSDetLibrary& binding) : icu(binding) {
    UErrorCode status = Quarnel::kUZeroError;
    detector = icu.open(&status);
    if (detector != nullptr && Quarnel::isFailure(status)) {
      icu.close(detector);
      detector = nullptr;
    }
  }
  OpenDetector(const OpenDetector&) = delete;
  OpenDetector& operator=(const OpenDetector&) = delete;
  ~OpenDetector() {
    if (detector != nullptr) icu.close(detector);
  }

  const Quarnel::UCSDetLibrary& icu;
  Quarnel::UCharsetDetector* detector;
};

// ICU names ISO-8859-1 when its sample holds no byte 80-9F. In a subtitle
// such bytes further on are windows-1252's letters and punctuation (œ, …,
// quotes), never control characters, and the two agree on every other byte.
const char* decodingName(const char* detected) {
  return std::strcmp(detected, "ISO-8859-1") == 0 ? "windows-1252" : detected;
}

}  // namespace

std::optional<DetectedCharset> detectCharset(const std::uint8_t* bytes, std::uint32_t count,
                                             const Quarnel::UCSDetLibrary& detector) {
  if (bytes == nullptr) return std::nullopt;
  const Utf8Census census = takeCensus(bytes, count);
  if (census.wellFormed >= static_cast<std::uint64_t>(census.illFormed) * kUtf8SequencesPerStrayByte) {
    return std::nullopt;
  }

  const std::uint8_t* sample = census.firstIllFormed;
  while (sample > bytes && sample[-1] != '\n') --sample;
  const auto sampleLength = static_cast<std::int32_t>(std::min<std::size_t>(bytes + count - sample, kSampleBytes));

  const OpenDetector opened(detector);
  if (opened.detector == nullptr) return std::nullopt;
  UErrorCode status = Quarnel::kUZeroError;
  detector.setText(opened.detector, reinterpret_cast<const char*>(sample), sampleLength, &status);
  const Quarnel::UCharsetMatch* match = detector.detect(opened.detector, &status);
  if (match == nullptr || Quarnel::isFailure(status)) return std::nullopt;
  const char* name = detector.getName(match, &status);
  const std::int32_t confidence = detector.getConfidence(match, &status);
  if (name == nullptr || Quarnel::isFailure(status)) return std::nullopt;
  // Copied before the detector, which owns the name, is closed.
  return DetectedCharset{decodingName(name), confidence};
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
