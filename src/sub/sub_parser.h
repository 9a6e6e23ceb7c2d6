// The SUB parser core: a SUB file's decoded text in, its timed entries out,
// each with its composed text (header markup included) in the block that its
// chunk will own. It splits the text in place and keeps nothing after the
// call. One call per thread; the logger is the only shared thing it uses.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sub/sub_style.h"

namespace Kelvo {

// The duration of one video frame, multiplier / divisor seconds: what turns
// the "[DELAY]" frame count into milliseconds.
struct FrameRatio {
  std::uint32_t multiplier;
  std::uint32_t divisor;
};

// 1001 / 24000 s: film at 23.976 frames per second.
inline constexpr FrameRatio kDefaultFrameRatio{1001, 24000};

// The ratio of a "FrameRate"/"Ratio" setting, or kDefaultFrameRatio when
// either number is 0.
FrameRatio frameRatioOrDefault(std::uint32_t multiplier, std::uint32_t divisor);

// `frames` x 1000 x multiplier / divisor milliseconds, the division
// truncating towards zero, exact and kept to its low 32 bits.
// Requires: ratio.divisor != 0.
std::uint32_t delayMilliseconds(std::int32_t frames, FrameRatio ratio);

// One subtitle entry of a file.
struct SubEntry {
  std::uint32_t start;     // milliseconds, the "[DELAY]" included; compare as unsigned
  std::uint32_t duration;  // milliseconds: end - start, wrapping when the end is earlier
  ComposedText text;       // the markup-wrapped text, lines joined by "\n"
};

// Where the open's log statements say they come from.
inline constexpr const char* kOpenLogCategory = "Container";
inline constexpr const char* kOpenLogFunction = "Kelvo::SUBContainer::open";
inline constexpr std::int32_t kSkippedTimeLineLogLine = 372;

// Parses the SUB file text `text` of `length` bytes: a header of lines that
// begin with "[" (style, "[DELAY]", anything else ignored), then entries, each
// a time line and its text lines, where "[br]" is a line break. The text is
// split in place (it ends at its first NUL); a leading byte-order mark is
// skipped. Returns the entries in file order, entries without text left out,
// or nullopt when the first line after the header is not a time line (the
// text is then no SUB file). A line written as a time line that does not
// read as one ends the entry before it; it and its text are skipped and
// logged. The caller owns the entries' blocks. Throws std::bad_alloc.
// Requires: text[length] == '\0'; ratio.divisor != 0.
std::optional<std::vector<SubEntry>> parseSubText(char* text, std::uint32_t length,
                                                  FrameRatio ratio = kDefaultFrameRatio);

}  // namespace Kelvo
