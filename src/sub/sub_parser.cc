#include "sub/sub_parser.h"

#include <cassert>
#include <cstring>
#include <string_view>
#include <utility>

#include "log/logger.h"
#include "sub/scan_format.h"
#include "sub/sub_time_line.h"
#include "sub/text_tokenizer.h"

namespace Kelvo {

namespace {

// The lines of a text, cut in place, with their 1-based numbers in the file:
// CR LF, LF and a lone CR each end one line, blank lines included.
class LineReader {
 public:
  explicit LineReader(char* text) : lines(text), gapStart(text) {}

  // The next non-blank line, NUL-terminated in place, or null at the end.
  char* next() {
    char* line = lines.nextToken("\r\n");
    if (line == nullptr) return nullptr;
    lineNumber += lineEndsBefore(line);
    end = lines.buffer + lines.position + (lines.cut == '\0' ? 1 : 0);
    gapStart = end;
    gapCut = lines.cut;
    return line;
  }

  std::uint32_t number() const { return lineNumber; }
  // Just past the last character of the line that next() returned.
  char* lineEnd() const { return end; }

 private:
  // The line ends from the end of the previous line (or the start) to `line`.
  std::uint32_t lineEndsBefore(const char* line) const {
    std::uint32_t ends = 0;
    for (const char* p = gapStart; p != line; ++p) {
      // The only NUL here replaced the delimiter after the previous line.
      const char c = *p == '\0' ? gapCut : *p;
      if (c == '\n' || (c == '\r' && p[1] != '\n')) ++ends;
    }
    return ends;
  }

  TextTokenizer lines;
  char* gapStart;
  char gapCut = '\0';  // the delimiter that the NUL at gapStart replaced
  char* end = nullptr;
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

bool isLineBreak(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// An entry's text as it lies in the split file, from its first line's start
// to its last line's end: the gap between two lines, and every "[br]", become
// one "\n". `put` receives the text's characters in order.
template <typename Put>
void composeText(const char* begin, const char* end, Put&& put) {
  const char* p = begin;
  while (p != end) {
    if (isLineBreak(*p)) {
      put('\n');
      while (p != end && isLineBreak(*p)) ++p;
    } else if (*p == '[' && end - p >= 4 && std::memcmp(p, "[br]", 4) == 0) {
      put('\n');
      p += 4;
    } else {
      put(*p);
      ++p;
    }
  }
}

SubEntry makeEntry(const SubStyle& style, SubTimes times, std::uint32_t delay, const char* begin, const char* end) {
  std::size_t length = 0;
  composeText(begin, end, [&length](char) { ++length; });
  ComposedText text =
      style.wrapText(length, [begin, end](char* out) { composeText(begin, end, [&out](char c) { *out++ = c; }); });
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
  LineReader lines(text + byteOrderMarkLength(std::string_view(text, length)));

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

  // The current entry's text lines, from textBegin to textEnd in the buffer;
  // no current entry while the lines after a broken time line are skipped.
  const char* textBegin = nullptr;
  const char* textEnd = nullptr;
  const auto finishEntry = [&] {
    if (times && textBegin != nullptr) entries.push_back(makeEntry(style, *times, delay, textBegin, textEnd));
    textBegin = nullptr;
  };
  while ((line = lines.next()) != nullptr) {
    if (const std::optional<SubTimes> next = readTimeLine(line)) {
      finishEntry();
      times = next;
    } else if (startsLikeTimeLine(line)) {
      finishEntry();
      times.reset();
      Logger::instance()->log(kOpenLogCategory, kOpenLogFunction, kSkippedTimeLineLogLine,
                              "skipped malformed time line %u: '%s'", lines.number(), line);
    } else if (times) {
      if (textBegin == nullptr) textBegin = line;
      textEnd = lines.lineEnd();
    }
  }
  finishEntry();
  return entries;
}

}  // namespace Kelvo
