// Detecting the code page of a text that declares none (no signature, no code
// page setting) and is not UTF-8: ICU's charset detector, reached through the
// run-time binding, judges a sample of the text, and we decide whether its
// answer is trusted. Free functions without state; any thread may call them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Quarnel {
class UCSDetLibrary;
}

namespace Kelvo {

// The confidence (0 to 100) from which a detection is trusted. Measured with
// ICU 72 over 1,171 texts of 1 to 20 consecutive entries of subtitle dialogue
// (nine samples, eight languages): from ten entries on every detection was
// right, the least sure at 30 (KOI8-R). The 74 wrong ones all came from one
// to five entries. Below 20 they outnumber the right ones, 28 to 14 (the
// detector's floor is 10: any even-length text as UTF-16); from 20 on, each
// band of five points holds at least four times as many right ones. Real
// windows-1252 files were detected at 56 to 83.
inline constexpr std::int32_t kTrustedCharsetConfidence = 20;

struct DetectedCharset {
  std::string name;             // ICU's converter name for the code page
  std::int32_t confidence = 0;  // 0 to 100
};

// The code page that ICU's detector, bound by `detector`, finds for the
// `count` bytes at `bytes`. It judges the first 256 bytes of the lines that
// hold a byte beyond ASCII, so that time lines and an English header do not
// outvote the text. An ISO code page it names becomes the Windows one built on
// it (windows-1252 for ISO-8859-1, ...) when a byte 80-9F occurs anywhere in
// the text. Nothing when those lines are mostly UTF-8 (at least twice as many
// well-formed multi-byte sequences as bytes that belong to none: valid UTF-8,
// or UTF-8 with a few damaged bytes, which the detector would take for a
// single-byte code page), when the detector is unusable, or when it names
// nothing.
std::optional<DetectedCharset> detectCharset(const std::uint8_t* bytes, std::uint32_t count,
                                             const Quarnel::UCSDetLibrary& detector);

// True when `detected` has at least kTrustedCharsetConfidence and ICU's
// converter library can decode its code page (the detector names a few, such
// as "IBM420_ltr", that it cannot).
bool isTrusted(const DetectedCharset& detected);

}  // namespace Kelvo
