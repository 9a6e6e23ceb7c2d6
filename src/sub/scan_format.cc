#include "sub/scan_format.h"

#include <cassert>

namespace Kelvo {

namespace {

// The white space of "%d", the C locale's set whatever the current locale.
bool isScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A bracketed set of a format, from just after "%[" to its "]".
class CharacterSet {
 public:
  explicit CharacterSet(const char* spec) {
    negated = *spec == '^';
    if (negated) ++spec;
    first = spec;
    while (*spec != ']') {
      assert(*spec != '\0' && "unterminated character set");
      ++spec;
    }
    assert(spec != first && "empty character set");
    last = spec;
  }

  bool contains(char c) const {
    const auto u = static_cast<unsigned char>(c);
    bool found = false;
    for (const char* p = first; p != last && !found; ++p) {
      if (p[1] == '-' && p + 2 != last) {
        found = u >= static_cast<unsigned char>(p[0]) && u <= static_cast<unsigned char>(p[2]);
        p += 2;
      } else {
        found = c == *p;
      }
    }
    return found != negated;
  }

  // The format character after the closing "]".
  const char* after() const { return last + 1; }

 private:
  bool negated;
  const char* first;
  const char* last;  // the closing "]"
};

}  // namespace

bool ScanCursor::skip(char c) {
  if (peek() != c || c == '\0') return false;
  ++next;
  return true;
}

bool ScanCursor::readSignedDigits(bool* negative, std::string_view* digits) {
  ScanCursor at = *this;
  while (isScanSpace(at.peek())) ++at.next;
  const bool minus = at.skip('-');
  if (!minus) at.skip('+');
  if (!at.readDigits(digits)) return false;
  *negative = minus;
  *this = at;
  return true;
}

bool ScanCursor::readDecimal(std::int32_t* value) {
  bool negative = false;
  std::string_view digits;
  if (!readSignedDigits(&negative, &digits)) return false;
  *value = decimalValue(negative, digits);
  return true;
}

bool ScanCursor::readDigits(std::string_view* digits) {
  const char* start = next;
  while (isDigit(peek())) ++next;
  if (next == start) return false;
  *digits = std::string_view(start, static_cast<std::size_t>(next - start));
  return true;
}

std::int32_t decimalValue(bool negative, std::string_view digits) {
  std::uint32_t value = 0;
  for (const char digit : digits) value = value * 10u + static_cast<std::uint32_t>(digit - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);  // modular since C++20
}

std::size_t scanFormat(ScanCursor line, const char* format, const ScanOutput* outputs,
                       [[maybe_unused]] std::size_t count) {
  std::size_t converted = 0;
  while (*format != '\0') {
    if (*format != '%') {
      if (!line.skip(*format)) break;
      ++format;
      continue;
    }
    assert(converted < count && "a conversion without its output");
    if (format[1] == 'd') {
      assert(outputs[converted].number != nullptr);
      if (!line.readDecimal(outputs[converted].number)) break;
      format += 2;
    } else {
      assert(format[1] == '[' && "only %d and %[...] are supported");
      assert(outputs[converted].text != nullptr);
      const CharacterSet set(format + 2);
      const char* start = line.position();
      while (line.peek() != '\0' && set.contains(line.peek())) line.skip(line.peek());
      if (line.position() == start) break;
      *outputs[converted].text = std::string_view(start, static_cast<std::size_t>(line.position() - start));
      format = set.after();
    }
    ++converted;
  }
  return converted;
}

}  // namespace Kelvo
