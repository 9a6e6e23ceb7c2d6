// The style of a SUB file's header (face, size, colour, bold) and the
// HTML-like markup built from it around every entry's text. One SubStyle
// lives for one open call: header fields go in first, then buildFontTags(),
// then wrapText() for each entry. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace Kelvo {

// The header's style values; a later field of a kind replaces the earlier.
struct SubHeader {
  std::string colour;     // "#" and the "[COLF]" value after its first character
  std::string style;      // the "[STYLE]" word
  std::int32_t size = 0;  // the "[SIZE]" number
  std::string face;       // the "[FONT]" name
  std::string sizeText;   // the relative font size, such as "-1"; empty without "[SIZE]"
};

// An entry's composed text in the block that its chunk will own.
struct ComposedText {
  std::unique_ptr<std::uint8_t[]> block;  // length + 1 bytes, NUL-terminated
  std::uint32_t length = 0;               // in bytes, without the NUL
};

class SubStyle {
 public:
  // Takes one NUL-terminated field of a header style line (a piece between
  // commas) from its first character: "[COLF]&", "[STYLE]", "[SIZE]" or
  // "[FONT]" and its value. Any other field changes nothing.
  void applyStyleField(const char* field);

  // Builds fontOpen and fontClose from the header; call once, after the last
  // header field.
  void buildFontTags();

  // Composes fontOpen + boldOpen + text + boldClose + fontClose into a new
  // block, writing each byte once. The text is given by its length in bytes
  // and `writeText(char* out)`, which writes exactly that many bytes to out.
  // The caller owns the block. Throws std::bad_alloc when memory runs out or
  // the length does not fit 32 bits.
  template <typename WriteText>
  ComposedText wrapText(std::size_t textLength, WriteText&& writeText) const;

  SubHeader header;
  std::string fontOpen;
  std::string boldOpen;
  std::string boldClose;
  std::string fontClose;
};

template <typename WriteText>
ComposedText SubStyle::wrapText(std::size_t textLength, WriteText&& writeText) const {
  const std::size_t length = fontOpen.size() + boldOpen.size() + textLength + boldClose.size() + fontClose.size();
  if (length >= UINT32_MAX) throw std::bad_alloc();
  ComposedText composed{std::make_unique_for_overwrite<std::uint8_t[]>(length + 1), static_cast<std::uint32_t>(length)};
  char* out = reinterpret_cast<char*>(composed.block.get());
  for (const std::string* part : {&fontOpen, &boldOpen}) {
    std::memcpy(out, part->data(), part->size());
    out += part->size();
  }
  writeText(out);
  out += textLength;
  for (const std::string* part : {&boldClose, &fontClose}) {
    std::memcpy(out, part->data(), part->size());
    out += part->size();
  }
  *out = '\0';
  return composed;
}

}  // namespace Kelvo
