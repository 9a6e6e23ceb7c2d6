// TextTokenizer: cuts tokens out of a writable, NUL-terminated text in place,
// at a set of delimiter characters. A run of delimiters is one separator, so
// tokens are never empty. The text stays the caller's; tokens point into it.
// One tokenizer belongs to one thread at a time.
#pragma once

#include <cstddef>

namespace Kelvo {

class TextTokenizer {
 public:
  // Requires: `text` is writable and NUL-terminated, and outlives the tokens.
  explicit TextTokenizer(char* text) : buffer(text) {}

  // The next token, NUL-terminated in place (its first delimiter is
  // overwritten), or null when none is left; after null, always null.
  // Requires: `delimiters` is NUL-terminated.
  char* nextToken(const char* delimiters);

  char* buffer;
  // Index of the last character looked at: -1 before the first token, then
  // the NUL written after the last token, or its last character when it ran
  // to the end of the text.
  std::ptrdiff_t position = -1;
  // The delimiter that the last token's NUL replaced; NUL when the token ran
  // to the end of the text.
  char cut = '\0';
};

}  // namespace Kelvo
