#include "sub/text_tokenizer.h"

#include <cstring>

namespace Kelvo {

char* TextTokenizer::nextToken(const char* delimiters) {
  const std::ptrdiff_t start =
      position + 1 + static_cast<std::ptrdiff_t>(std::strspn(buffer + position + 1, delimiters));
  if (buffer[start] == '\0') {
    position = start - 1;
    return nullptr;
  }
  const std::ptrdiff_t stop = start + static_cast<std::ptrdiff_t>(std::strcspn(buffer + start, delimiters));
  cut = buffer[stop];
  if (cut == '\0') {
    position = stop - 1;
  } else {
    buffer[stop] = '\0';
    position = stop;
  }
  return buffer + start;
}

}  // namespace Kelvo
