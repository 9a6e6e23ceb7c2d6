// The HTML-like markup of chunk texts ("<font face=.. size=.. color=..>" and
// "<b>" from the plug-in, "<i>" and "<u>" that files write into their text)
// turned into what other outputs understand. Any other "<" is text.
#pragma once

#include <string>
#include <string_view>

namespace Kelvo::subhost {

// Terminal text: bold, italic and underline as their SGR attributes, a font
// colour "#RRGGBB" as a 24-bit foreground colour; a text that set any
// attribute ends with a reset.
std::string markupToTerminal(std::string_view text);

// The text without its tags.
std::string markupToPlainText(std::string_view text);

// WebVTT cue text: "<b>", "<i>", "<u>" and their closing tags kept in lower
// case, font tags dropped, and "&", "<", ">" of the text escaped.
std::string markupToWebVtt(std::string_view text);

}  // namespace Kelvo::subhost
