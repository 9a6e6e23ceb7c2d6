#include "sub/scan_format.h"

#include <cassert>

namespace Kelvo {

namespace {

// A bracketed set of a format, from just after "%[" to its "]".
class CharacterSet {
 public:
  explicit CharacterSet(const char* pattern) {
    negated = *pattern == '^';
    if (negated) ++pattern;
    first = pattern;
    while (*pattern != ']') {
      assert(*pattern != '\0' && "unterminated character set");
      ++pattern;
    }
    assert(pattern != first && "empty character set");
    last = pattern;
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
