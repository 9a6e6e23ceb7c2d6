// The scanf-style matching of SUB lines and header fields, without sscanf:
// "%d", bracketed character sets "%[...]" and "%[^...]", and literal
// characters, matched from the first character of a line. It never consults
// the C locale and never reads past the line's end. Stateless; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Kelvo {

// A reading position in one line: a NUL-terminated line, or a line given by
// its bytes (a NUL among them ends it early). Cheap to copy, so a caller can
// try a reading on a copy and keep it only when it succeeds. Lines convert
// to it implicitly, so that they can be passed to scanFormat as they are.
class ScanCursor {
 public:
  // Requires: `line` is NUL-terminated.
  ScanCursor(const char* line) : next(line), end(nullptr) {}
  ScanCursor(std::string_view line) : next(line.data()), end(line.data() + line.size()) {}

  // The next character, or NUL at the line's end.
  char peek() const { return next == end ? '\0' : *next; }
  // Consumes `c` when it comes next (never NUL).
  bool skip(char c);
  // Reads what "%d" reads before its value: white space (space, tab, line
  // feed, vertical tab, form feed, carriage return), an optional sign and a
  // non-empty run of decimal digits. On failure consumes nothing.
  bool readSignedDigits(bool* negative, std::string_view* digits);
  // "%d": the number's value in 32-bit arithmetic that wraps around.
  bool readDecimal(std::int32_t* value);
  // A non-empty run of decimal digits, no white space and no sign.
  bool readDigits(std::string_view* digits);
  // The position of the next character.
  const char* position() const { return next; }

 private:
  const char* next;
  const char* end;  // null: the line ends at its NUL
};

// The white space of "%d", the C locale's set whatever the current locale.
inline bool isScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool isScanDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a run of decimal digits, wrapping around as signed 32-bit
// arithmetic does.
inline std::int32_t decimalValue(bool negative, std::string_view digits) {
  std::uint32_t value = 0;
  for (const char digit : digits) value = value * 10u + static_cast<std::uint32_t>(digit - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);  // modular since C++20
}

// Every line is read through these, so they are inline.

inline bool ScanCursor::skip(char c) {
  if (peek() != c || c == '\0') return false;
  ++next;
  return true;
}

inline bool ScanCursor::readSignedDigits(bool* negative, std::string_view* digits) {
  ScanCursor at = *this;
  while (isScanSpace(at.peek())) ++at.next;
  const bool minus = at.skip('-');
  if (!minus) at.skip('+');
  if (!at.readDigits(digits)) return false;
  *negative = minus;
  *this = at;
  return true;
}

inline bool ScanCursor::readDecimal(std::int32_t* value) {
  bool negative = false;
  std::string_view digits;
  if (!readSignedDigits(&negative, &digits)) return false;
  *value = decimalValue(negative, digits);
  return true;
}

inline bool ScanCursor::readDigits(std::string_view* digits) {
  const char* start = next;
  while (isScanDigit(peek())) ++next;
  if (next == start) return false;
  *digits = std::string_view(start, static_cast<std::size_t>(next - start));
  return true;
}

// Where one conversion of a format stores its value: "%d" into an int32,
// a character set into a view of the matched characters inside the line.
class ScanOutput {
 public:
  ScanOutput(std::int32_t* out) : number(out) {}
  ScanOutput(std::string_view* out) : text(out) {}

  std::int32_t* number = nullptr;
  std::string_view* text = nullptr;
};

// Matches `format` against `line` and returns how many values converted;
// matching stops at the first mismatch. Each conversion needs its output, in
// order. Every format character other than a conversion must match itself
// (white space included). A set is "[" and a non-empty list of characters up
// to "]", with ranges "a-z"; a leading "^" inverts it.
// Requires: `format` is well formed and `count` outputs are given.
std::size_t scanFormat(ScanCursor line, const char* format, const ScanOutput* outputs, std::size_t count);

template <typename... Outputs>
std::size_t scanFormat(ScanCursor line, const char* format, Outputs*... outputs) {
  // One spare output keeps the array non-empty for a format without conversions.
  const ScanOutput list[] = {ScanOutput(outputs)..., ScanOutput(static_cast<std::int32_t*>(nullptr))};
  return scanFormat(line, format, list, sizeof...(outputs));
}

}  // namespace Kelvo
