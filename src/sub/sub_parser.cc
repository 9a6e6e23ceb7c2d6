#include "sub/sub_parser.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "log/logger.h"
#include "sub/scan_format.h"
#include "sub/sub_time_line.h"
#include "sub/text_tokenizer.h"

namespace Kelvo {

namespace {

// The first CR, LF or NUL at or after `p`. Eight bytes are looked at at a
// time while they lie before `limit`.
// Requires: a CR, LF or NUL comes at or before `limit`.
char* findLineBreak(char* p, const char* limit) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  // The high bit of the first zero byte is exact; bits above it may be set too.
  const auto zeroBytes = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; };
  while (limit - p >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    const std::uint64_t found = zeroBytes(word) | zeroBytes(word ^ (kOnes * '\n')) | zeroBytes(word ^ (kOnes * '\r'));
    if (found != 0) {
      if constexpr (std::endian::native == std::endian::little) return p + std::countr_zero(found) / 8;
      break;
    }
    p += 8;
  }
  while (*p != '\0' && *p != '\n' && *p != '\r') ++p;
  return p;
}

// The lines of a text, cut in place as a TextTokenizer cuts them at CR and
// LF, with their 1-based numbers in the file: CR LF, LF and a lone CR each end
// one line, blank lines included. Blank lines are skipped; the text ends at
// its first NUL, and once next() has answered null it always does.
class LineReader {
 public:
  // Requires: text[length] == '\0'.
  LineReader(char* text, std::size_t length) : at(text), limit(text + length) {}

  // The next non-blank line, NUL-terminated in place, or null at the end.
  char* next() {
    lineNumber += endsCut;
    endsCut = 0;
    for (; *at == '\r' || *at == '\n'; ++at) {
      if (endsLine(at)) ++lineNumber;
    }
    if (*at == '\0') return nullptr;
    char* const line = at;
    at = findLineBreak(at, limit);
    end = at;
    if (*at != '\0') {
      endsCut = endsLine(at) ? 1 : 0;  // counted with the next line
      *at++ = '\0';
    }
    return line;
  }

  std::uint32_t number() const { return lineNumber; }
  // Just past the last character of the line that next() returned.
  char* lineEnd() const { return end; }

 private:
  // A CR followed by LF ends its line together with the LF.
  static bool endsLine(const char* c) { return *c == '\n' || c[1] != '\n'; }

  char* at;
  const char* limit;
  char* end = nullptr;
  std::uint32_t endsCut = 0;     // 1 when the NUL after the last line replaced a line end
  std::uint32_t lineNumber = 1;  // before the first line: the line ends before it count
};

bool namesStyleField(const char* line) {
  for (const char* tag : {"[COLF]", "[STYLE]", "[SIZE]", "[FONT]"}) {
    if (std::strstr(line, tag) != nullptr) return true;
  }
  return false;
}

// One header line: a delay, a comment, a line of style fields, or nothing.
void readHeaderLine(char* line, SubStyle& style, std::int32_t& delayFrames) {
  std::int32_t frames = 0;
  std::string_view comment;
  if (scanFormat(line, "[DELAY]%d", &frames) == 1) {
    delayFrames = frames;
  } else if (scanFormat(line, "[COMMENT]%[^\r\n]", &comment) == 1) {
    // A comment means nothing to the player, whatever tags it names.
  } else if (namesStyleField(line)) {
    TextTokenizer fields(line);
    while (const char* field = fields.nextToken(",\r\n")) style.applyStyleField(field);
  }
}

// Whether a number, as "%d" reads it, starts `line`: a time line, or a line
// written as one, cannot start otherwise, and text lines rarely do.
bool startsWithNumber(const char* line) {
  while (isScanSpace(*line)) ++line;
  if (*line == '-' || *line == '+') ++line;
  return isScanDigit(*line);
}

// Appends `line` to `text` with every "[br]" (found left to right, without
// overlap) as "\n".
void appendWithBreaks(std::string& text, std::string_view line) {
  for (std::size_t lineBreak = line.find("[br]"); lineBreak != std::string_view::npos; lineBreak = line.find("[br]")) {
    text.append(line.substr(0, lineBreak));
    text += '\n';
    line.remove_prefix(lineBreak + 4);
  }
  text.append(line);
}

// An entry from its time line and text lines, which are joined by "\n".
// `scratch` is reused from entry to entry, so that composing a text
// allocates nothing but its block.
SubEntry makeEntry(const SubStyle& style, SubTimes times, std::uint32_t delay,
                   const std::vector<std::string_view>& lines, std::string& scratch) {
  scratch.clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) scratch += '\n';
    appendWithBreaks(scratch, lines[i]);
  }
  ComposedText text =
      style.wrapText(scratch.size(), [&scratch](char* out) { std::memcpy(out, scratch.data(), scratch.size()); });
  return SubEntry{times.start + delay, times.end - times.start, std::move(text)};
}

}  // namespace

FrameRatio frameRatioOrDefault(std::uint32_t multiplier, std::uint32_t divisor) {
  if (multiplier == 0 || divisor == 0) return kDefaultFrameRatio;
  return FrameRatio{multiplier, divisor};
}

std::uint32_t delayMilliseconds(std::int32_t frames, FrameRatio ratio) {
  assert(ratio.divisor != 0);
  const bool negative = frames < 0;
  const std::uint32_t count = negative ? 0u - static_cast<std::uint32_t>(frames) : static_cast<std::uint32_t>(frames);
  const std::uint64_t product = std::uint64_t{count} * 1000u;
  // a x m / d as (a / d) x m + (a % d) x m / d: the second product fits 64
  // bits, the first only needs its low bits.
  const std::uint64_t quotient =
      product / ratio.divisor * ratio.multiplier + product % ratio.divisor * ratio.multiplier / ratio.divisor;
  const auto milliseconds = static_cast<std::uint32_t>(quotient);
  return negative ? 0u - milliseconds : milliseconds;
}

std::optional<std::vector<SubEntry>> parseSubText(char* text, std::uint32_t length, FrameRatio ratio) {
  assert(text[length] == '\0');
  const std::size_t mark = byteOrderMarkLength(std::string_view(text, length));
  LineReader lines(text + mark, length - mark);

  SubStyle style;
  std::int32_t delayFrames = 0;
  char* line = lines.next();
  for (; line != nullptr && line[0] == '['; line = lines.next()) readHeaderLine(line, style, delayFrames);
  style.buildFontTags();

  std::vector<SubEntry> entries;
  if (line == nullptr) return entries;
  std::optional<SubTimes> times = readTimeLine(line);
  if (!times) return std::nullopt;
  const std::uint32_t delay = delayMilliseconds(delayFrames, ratio);

  // The current entry's text lines; none while the lines after a broken time
  // line are skipped.
  std::vector<std::string_view> textLines;
  std::string scratch;
  const auto finishEntry = [&] {
    if (times && !textLines.empty()) entries.push_back(makeEntry(style, *times, delay, textLines, scratch));
    textLines.clear();
  };
  while ((line = lines.next()) != nullptr) {
    if (startsWithNumber(line)) {
      if (const std::optional<SubTimes> next = readTimeLine(line)) {
        finishEntry();
        times = next;
        continue;
      }
      if (startsLikeTimeLine(line)) {
        finishEntry();
        times.reset();
        Logger::instance()->log(kOpenLogCategory, kOpenLogFunction, kSkippedTimeLineLogLine,
                                "skipped malformed time line %u: '%s'", lines.number(), line);
        continue;
      }
    }
    if (times) textLines.emplace_back(line, static_cast<std::size_t>(lines.lineEnd() - line));
  }
  finishEntry();
  return entries;
}

}  // namespace Kelvo
