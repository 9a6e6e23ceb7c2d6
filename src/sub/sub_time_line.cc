#include "sub/sub_time_line.h"

namespace Kelvo {

namespace {

// The fraction's first three digits as milliseconds, missing ones as zeros.
std::uint32_t fractionMilliseconds(bool negative, std::string_view digits) {
  std::uint32_t milliseconds = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    milliseconds = milliseconds * 10u + (i < digits.size() ? static_cast<std::uint32_t>(digits[i] - '0') : 0u);
  }
  return negative ? 0u - milliseconds : milliseconds;
}

// Reads the fraction after the seconds when there is one; 0 when not.
std::uint32_t readFraction(ScanCursor& line, bool firstTime) {
  bool negative = false;
  std::string_view digits;
  ScanCursor at = line;
  if (at.skip('.') && at.readSignedDigits(&negative, &digits)) {
    line = at;
    return fractionMilliseconds(negative, digits);
  }
  at = line;
  if (at.skip(',') && at.readDigits(&digits) && !(firstTime && at.peek() == ':')) {
    line = at;
    return fractionMilliseconds(false, digits);
  }
  return 0;
}

bool readTime(ScanCursor& line, bool firstTime, std::uint32_t* milliseconds) {
  ScanCursor at = line;
  bool negative = false;
  std::string_view hours;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
  if (!at.readSignedDigits(&negative, &hours) || !at.skip(':') || !at.readDecimal(&minutes) || !at.skip(':') ||
      !at.readDecimal(&seconds)) {
    return false;
  }
  const std::uint32_t fraction = readFraction(at, firstTime);
  const auto magnitude = static_cast<std::uint32_t>(decimalValue(false, hours));
  const std::uint32_t total =
      ((magnitude * 60u + static_cast<std::uint32_t>(minutes)) * 60u + static_cast<std::uint32_t>(seconds)) * 1000u +
      fraction;
  *milliseconds = negative ? 0u - total : total;
  line = at;
  return true;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::optional<SubTimes> readTimeLine(ScanCursor line) {
  SubTimes times{};
  if (readTime(line, true, &times.start) && line.skip(',') && readTime(line, false, &times.end)) return times;
  return std::nullopt;
}

bool startsLikeTimeLine(ScanCursor line) {
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
  std::int32_t fraction = 0;
  return scanFormat(line, "%d:%d:%d.%d", &hours, &minutes, &seconds, &fraction) == 4;
}

std::size_t byteOrderMarkLength(std::string_view text) { return text.starts_with("\xEF\xBB\xBF") ? 3 : 0; }

bool containsTimeLine(std::string_view text) {
  text.remove_prefix(byteOrderMarkLength(text));
  text = text.substr(0, text.find('\0'));
  std::size_t start = 0;
  while (start < text.size()) {
    if (isLineEnd(text[start])) {
      ++start;
      continue;
    }
    std::size_t end = start;
    while (end < text.size() && !isLineEnd(text[end])) ++end;
    if (readTimeLine(text.substr(start, end - start))) return true;
    start = end;
  }
  return false;
}

}  // namespace Kelvo
