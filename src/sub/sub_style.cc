#include "sub/sub_style.h"

#include <charconv>

#include "sub/scan_format.h"

namespace Kelvo {

namespace {

// The relative font size for "[SIZE]n": every two points from 20 are one step.
std::string relativeSize(std::int32_t size) {
  const std::int64_t steps = (std::int64_t{size} - 20) / 2;  // truncates towards zero
  char text[16] = {size >= 20 ? '+' : '-'};
  const auto written =
      std::to_chars(text + 1, text + sizeof text, static_cast<std::uint32_t>(steps < 0 ? -steps : steps));
  return std::string(text, written.ptr);
}

// Appends ` name="value"`; a double quote in the value cannot end the
// attribute early.
void appendAttribute(std::string& tag, std::string_view name, std::string_view value) {
  tag += ' ';
  tag += name;
  tag += "=\"";
  for (const char c : value) {
    if (c == '"') {
      tag += "&quot;";
    } else {
      tag += c;
    }
  }
  tag += '"';
}

}  // namespace

void SubStyle::applyStyleField(const char* field) {
  std::string_view value;
  std::int32_t number = 0;
  if (scanFormat(field, "[COLF]&%[A-Za-z0-9]", &value) == 1) {
    header.colour.assign("#").append(value.substr(1));
  } else if (scanFormat(field, "[STYLE]%[a-zk]", &value) == 1) {
    header.style.assign(value);
    if (header.style == "no") {
      boldOpen.clear();
      boldClose.clear();
    } else if (header.style == "bd") {
      boldOpen = "<b>";
      boldClose = "</b>";
    }
  } else if (scanFormat(field, "[SIZE]%d", &number) == 1) {
    header.size = number;
    header.sizeText = relativeSize(number);
  } else if (scanFormat(field, "[FONT]%[^\r\n]", &value) == 1) {
    header.face.assign(value);
  }
}

void SubStyle::buildFontTags() {
  if (header.face.empty() && header.sizeText.empty() && header.colour.empty()) return;
  fontOpen = "<font";
  if (!header.face.empty()) appendAttribute(fontOpen, "face", header.face);
  if (!header.sizeText.empty()) appendAttribute(fontOpen, "size", header.sizeText);
  if (!header.colour.empty()) appendAttribute(fontOpen, "color", header.colour);
  fontOpen += '>';
  fontClose = "</font>";
}

}  // namespace Kelvo
