#include "markup.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace Kelvo::subhost {

namespace {

enum class TagKind { bold, italic, underline, font };

struct Colour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// One piece of a marked-up text: a run of text, or a tag.
struct Piece {
  std::string_view text;  // empty for a tag
  bool isTag = false;
  TagKind kind = TagKind::bold;
  bool closing = false;
  std::optional<Colour> colour;  // an opening font tag's "#RRGGBB" colour
};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `text` starts with `word`, ignoring the letter case of `text`.
bool startsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[i]) != word[i]) return false;
  }
  return true;
}

// Whether `text` is `word`, ignoring the letter case of `text`.
bool isWord(std::string_view text, std::string_view word) {
  return text.size() == word.size() && startsWithWord(text, word);
}

Piece textPiece(std::string_view text) {
  Piece piece;
  piece.text = text;
  return piece;
}

std::optional<int> hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char l = lower(c);
  if (l >= 'a' && l <= 'f') return l - 'a' + 10;
  return std::nullopt;
}

std::optional<Colour> parseColour(std::string_view value) {
  if (value.size() != 7 || value[0] != '#') return std::nullopt;
  std::uint8_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const auto high = hexValue(value[1 + 2 * i]);
    const auto low = hexValue(value[2 + 2 * i]);
    if (!high || !low) return std::nullopt;
    channels[i] = static_cast<std::uint8_t>(*high * 16 + *low);
  }
  return Colour{channels[0], channels[1], channels[2]};
}

// The attributes of a font tag, `text` starting after "<font" and running to
// the end of the marked-up text: ` name="value"` pairs, then ">". Returns the
// tag's length from "<font" to ">" and its colour, or nothing when malformed.
std::optional<std::size_t> readFontAttributes(std::string_view text, std::optional<Colour>& colour) {
  std::size_t at = 0;
  for (;;) {
    const std::size_t start = at;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at < text.size() && text[at] == '>') return at + 1;
    if (at == start) return std::nullopt;  // attributes are separated by spaces
    const std::size_t nameStart = at;
    while (at < text.size() && lower(text[at]) >= 'a' && lower(text[at]) <= 'z') ++at;
    const std::string_view name = text.substr(nameStart, at - nameStart);
    if (name.empty() || text.substr(at, 2) != "=\"") return std::nullopt;
    at += 2;
    const std::size_t valueEnd = text.find('"', at);
    if (valueEnd == std::string_view::npos) return std::nullopt;
    if (isWord(name, "color")) colour = parseColour(text.substr(at, valueEnd - at));
    at = valueEnd + 1;
  }
}

// The tag at the start of `text` (which starts with "<"): its piece and length.
std::optional<std::pair<Piece, std::size_t>> readTag(std::string_view text) {
  static constexpr struct {
    std::string_view open;
    std::string_view close;
    TagKind kind;
  } kSimpleTags[] = {
      {"<b>", "</b>", TagKind::bold}, {"<i>", "</i>", TagKind::italic}, {"<u>", "</u>", TagKind::underline}};
  Piece piece;
  piece.isTag = true;
  for (const auto& tag : kSimpleTags) {
    piece.kind = tag.kind;
    if (startsWithWord(text, tag.open)) return std::pair{piece, tag.open.size()};
    piece.closing = true;
    if (startsWithWord(text, tag.close)) return std::pair{piece, tag.close.size()};
    piece.closing = false;
  }
  piece.kind = TagKind::font;
  if (startsWithWord(text, "</font>")) {
    piece.closing = true;
    return std::pair{piece, std::string_view("</font>").size()};
  }
  constexpr std::string_view kFontOpen = "<font";
  if (!startsWithWord(text, kFontOpen)) return std::nullopt;
  const auto length = readFontAttributes(text.substr(kFontOpen.size()), piece.colour);
  if (!length) return std::nullopt;
  return std::pair{piece, kFontOpen.size() + *length};
}

std::vector<Piece> scan(std::string_view text) {
  std::vector<Piece> pieces;
  std::size_t runStart = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto tag = text[at] == '<' ? readTag(text.substr(at)) : std::nullopt;
    if (!tag) {
      ++at;
      continue;
    }
    if (at > runStart) pieces.push_back(textPiece(text.substr(runStart, at - runStart)));
    pieces.push_back(tag->first);
    at += tag->second;
    runStart = at;
  }
  if (at > runStart) pieces.push_back(textPiece(text.substr(runStart, at - runStart)));
  return pieces;
}

std::string colourSequence(const std::optional<Colour>& colour) {
  if (!colour) return "\x1b[39m";
  return "\x1b[38;2;" + std::to_string(colour->red) + ";" + std::to_string(colour->green) + ";" +
         std::to_string(colour->blue) + "m";
}

}  // namespace

std::string markupToTerminal(std::string_view text) {
  struct Attribute {
    const char* on;
    const char* off;
    int depth = 0;
  };
  Attribute attributes[] = {{"\x1b[1m", "\x1b[22m"}, {"\x1b[3m", "\x1b[23m"}, {"\x1b[4m", "\x1b[24m"}};
  std::vector<std::optional<Colour>> fonts;  // the colour of every open font tag, innermost last
  std::string result;
  bool styled = false;
  for (const Piece& piece : scan(text)) {
    if (!piece.isTag) {
      result += piece.text;
      continue;
    }
    if (piece.kind == TagKind::font) {
      if (!piece.closing) {
        fonts.push_back(piece.colour);
        if (piece.colour) result += colourSequence(piece.colour);
      } else if (!fonts.empty()) {
        const bool coloured = fonts.back().has_value();
        fonts.pop_back();
        std::optional<Colour> outer;
        for (const auto& font : fonts) {
          if (font) outer = font;
        }
        if (coloured) result += colourSequence(outer);
      }
      styled = styled || piece.colour.has_value();
      continue;
    }
    Attribute& attribute = attributes[static_cast<int>(piece.kind)];
    if (!piece.closing) {
      if (attribute.depth++ == 0) result += attribute.on;
      styled = true;
    } else if (attribute.depth > 0 && --attribute.depth == 0) {
      result += attribute.off;
    }
  }
  if (styled) result += "\x1b[0m";
  return result;
}

std::string markupToPlainText(std::string_view text) {
  std::string result;
  for (const Piece& piece : scan(text)) result += piece.text;
  return result;
}

std::string markupToWebVtt(std::string_view text) {
  static constexpr const char* kNames[] = {"b", "i", "u"};
  std::string result;
  for (const Piece& piece : scan(text)) {
    if (piece.isTag) {
      if (piece.kind != TagKind::font) {
        result += piece.closing ? "</" : "<";
        result += kNames[static_cast<int>(piece.kind)];
        result += '>';
      }
      continue;
    }
    for (const char c : piece.text) {
      switch (c) {
        case '&':
          result += "&amp;";
          break;
        case '<':
          result += "&lt;";
          break;
        case '>':
          result += "&gt;";
          break;
        default:
          result += c;
      }
    }
  }
  return result;
}

}  // namespace Kelvo::subhost
