// Language codes in their two forms: the table that pairs each two-letter
// code with its three-letter code, and the lookup from one form to the other
// used when a stream is chosen by the viewer's language. The lookup's map is
// built once per process on first use; any thread may call.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace Kelvo {

struct LanguageCodePair {
  std::string_view threeLetter;
  std::string_view twoLetter;
};

inline constexpr std::size_t kLanguageCodeRows = 205;

// Two-letter codes with their three-letter bibliographic codes, in lookup
// order; some rows repeat, and a later row wins in the map below.
extern const std::array<LanguageCodePair, kLanguageCodeRows> languageCodeTable;

// Every code of the table mapped to its other form, filled from the table
// on first use. Lives until the module unloads.
const std::map<std::string, std::string, std::less<>>& alternateLanguageCodes();

// The other-length form of `code` ("de" gives "ger", "ger" gives "de"), or
// the empty text when `code` is not in the table. Exact and case-sensitive.
// Throws std::bad_alloc when memory runs out.
std::string alternateLanguageCode(std::string_view code);

}  // namespace Kelvo
