// How SUB lines read as times: the time line that starts an entry, the line
// that only looks like one, where a text's lines begin, and the probe's
// question whether a text holds a time line. Stateless; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "sub/scan_format.h"

namespace Kelvo {

// The two times of a time line, in milliseconds, as 32-bit values that wrap.
struct SubTimes {
  std::uint32_t start;
  std::uint32_t end;
};

// Reads `line` from its first character as a time, ",", and a time; anything
// after the second time is ignored. A time is hours ":" minutes ":" seconds,
// each read like "%d", then optionally a fraction of the second: "." and a
// number read like "%d", or "," and a run of digits (in the first time not
// when the digits are followed by ":", since that "," separates the times).
// The fraction's first three digits are milliseconds ("5" is 500, "05" 50).
// A minus sign before the hours makes the whole time negative.
std::optional<SubTimes> readTimeLine(ScanCursor line);

// Whether "%d:%d:%d.%d" reads four numbers from `line`: a line written as a
// time line, broken when readTimeLine() refuses it.
bool startsLikeTimeLine(ScanCursor line);

// The length of the byte-order mark (U+FEFF in UTF-8) that begins `text`, or 0.
std::size_t byteOrderMarkLength(std::string_view text);

// Whether any line of `text` reads as a time line, looking at the lines in
// order after a leading byte-order mark. Lines end at CR or LF; the text ends
// at its first NUL. The text is only read.
bool containsTimeLine(std::string_view text);

}  // namespace Kelvo
