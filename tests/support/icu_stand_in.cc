// A stand-in for ICU's common library where none of the release the plug-in
// binds is installed (Windows): the library's file name, its four converter
// entry points under their release suffix and with ICU's signatures, and a
// few converters, enough for the examples and the tests that run there:
// UTF-8, UTF-16 in either byte order, windows-1251 and windows-1252. Names
// match as ICU matches aliases: letter case, "-", "_" and spaces ignored.
// As with ICU's default callbacks, an illegal sequence becomes U+FFFD and a
// character a code page lacks becomes its substitution byte 0x1A. It keeps no
// state between calls: a sequence cut off by the end of a call without flush
// stays unread, for the caller to hand in again.
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using UChar = char16_t;
using UBool = std::int8_t;
using UErrorCode = int;

constexpr UErrorCode kZeroError = 0;
constexpr UErrorCode kIllegalArgumentError = 1;
constexpr UErrorCode kFileAccessError = 4;  // what ICU reports for a name it does not know
constexpr UErrorCode kBufferOverflowError = 15;

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint8_t kSubstitutionByte = 0x1A;
constexpr char16_t kNone = 0xFFFF;  // a byte the code page leaves undefined

// The upper halves of the two code pages.
constexpr char16_t kWindows1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kNone,  0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};                                                                   // C0 to FF: U+0410 to U+044F

constexpr char16_t kWindows1252High[32] = {
    0x20AC, kNone,  0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kNone,  0x017D, kNone,   // 88
    kNone,  0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kNone,  0x017E, 0x0178,  // 98
};                                                                   // A0 to FF: U+00A0 to U+00FF

enum class Kind { kUtf8, kUtf16Le, kUtf16Be, kWindows1251, kWindows1252 };

struct Converter {
  Kind kind;
};

// A name as ICU compares aliases: lower case, without "-", "_" and spaces.
std::string comparable(const char* name) {
  std::string result;
  for (; *name != '\0'; ++name) {
    const char c = *name;
    if (c == '-' || c == '_' || c == ' ') continue;
    result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return result;
}

bool kindNamed(const char* name, Kind* kind) {
  const std::string key = comparable(name);
  if (key == "utf8")
    *kind = Kind::kUtf8;
  else if (key == "utf16le")
    *kind = Kind::kUtf16Le;
  else if (key == "utf16be")
    *kind = Kind::kUtf16Be;
  else if (key == "windows1251" || key == "cp1251")
    *kind = Kind::kWindows1251;
  else if (key == "windows1252" || key == "cp1252")
    *kind = Kind::kWindows1252;
  else
    return false;
  return true;
}

char32_t singleByteToUnicode(Kind kind, std::uint8_t byte) {
  if (byte < 0x80) return byte;
  if (kind == Kind::kWindows1251) return byte >= 0xC0 ? 0x0410 + (byte - 0xC0) : kWindows1251High[byte - 0x80];
  return byte >= 0xA0 ? byte : kWindows1252High[byte - 0x80];
}

// How decoding one character at the start of the input went.
enum class Decoded { kCharacter, kIllegal, kNeedMore };

bool isValidSecondByte(std::uint8_t lead, std::uint8_t second) {
  switch (lead) {
    case 0xE0:
      return second >= 0xA0 && second <= 0xBF;
    case 0xED:
      return second >= 0x80 && second <= 0x9F;
    case 0xF0:
      return second >= 0x90 && second <= 0xBF;
    case 0xF4:
      return second >= 0x80 && second <= 0x8F;
    default:
      return second >= 0x80 && second <= 0xBF;
  }
}

// An ill-formed sequence is replaced as a whole up to its first byte that
// cannot continue it (the maximal subpart), as ICU does.
Decoded decodeUtf8(const std::uint8_t* at, const std::uint8_t* end, bool flush, char32_t* character,
                   std::size_t* used) {
  const std::uint8_t lead = at[0];
  *used = 1;
  if (lead < 0x80) {
    *character = lead;
    return Decoded::kCharacter;
  }
  if (lead < 0xC2 || lead > 0xF4) return Decoded::kIllegal;
  const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (at + k >= end) return flush ? Decoded::kIllegal : Decoded::kNeedMore;
    const std::uint8_t byte = at[k];
    if (k == 1 ? !isValidSecondByte(lead, byte) : (byte & 0xC0) != 0x80) return Decoded::kIllegal;
    value = (value << 6) | (byte & 0x3F);
    *used = k + 1;
  }
  *character = value;
  return Decoded::kCharacter;
}

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

Decoded decodeUtf16(bool littleEndian, const std::uint8_t* at, const std::uint8_t* end, bool flush, char32_t* character,
                    std::size_t* used) {
  const auto unitAt = [littleEndian](const std::uint8_t* bytes) -> char32_t {
    return littleEndian ? bytes[0] | bytes[1] << 8 : bytes[0] << 8 | bytes[1];
  };
  if (end - at < 2) {
    *used = 1;
    return flush ? Decoded::kIllegal : Decoded::kNeedMore;
  }
  const char32_t first = unitAt(at);
  *used = 2;
  if (isLowSurrogate(first)) return Decoded::kIllegal;
  if (!isHighSurrogate(first)) {
    *character = first;
    return Decoded::kCharacter;
  }
  if (end - at < 4) return flush ? Decoded::kIllegal : Decoded::kNeedMore;
  const char32_t second = unitAt(at + 2);
  if (!isLowSurrogate(second)) return Decoded::kIllegal;
  *character = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  *used = 4;
  return Decoded::kCharacter;
}

Decoded decode(Kind kind, const std::uint8_t* at, const std::uint8_t* end, bool flush, char32_t* character,
               std::size_t* used) {
  switch (kind) {
    case Kind::kUtf8:
      return decodeUtf8(at, end, flush, character, used);
    case Kind::kUtf16Le:
    case Kind::kUtf16Be:
      return decodeUtf16(kind == Kind::kUtf16Le, at, end, flush, character, used);
    case Kind::kWindows1251:
    case Kind::kWindows1252:
      break;
  }
  *used = 1;
  *character = singleByteToUnicode(kind, at[0]);
  return *character == kNone ? Decoded::kIllegal : Decoded::kCharacter;
}

// The bytes of `character` in `kind`, or 0 when the code page lacks it.
std::size_t encode(Kind kind, char32_t character, std::uint8_t* out) {
  switch (kind) {
    case Kind::kUtf8:
      if (character < 0x80) {
        out[0] = static_cast<std::uint8_t>(character);
        return 1;
      }
      if (character < 0x800) {
        out[0] = static_cast<std::uint8_t>(0xC0 | character >> 6);
        out[1] = static_cast<std::uint8_t>(0x80 | (character & 0x3F));
        return 2;
      }
      if (character < 0x10000) {
        out[0] = static_cast<std::uint8_t>(0xE0 | character >> 12);
        out[1] = static_cast<std::uint8_t>(0x80 | (character >> 6 & 0x3F));
        out[2] = static_cast<std::uint8_t>(0x80 | (character & 0x3F));
        return 3;
      }
      out[0] = static_cast<std::uint8_t>(0xF0 | character >> 18);
      out[1] = static_cast<std::uint8_t>(0x80 | (character >> 12 & 0x3F));
      out[2] = static_cast<std::uint8_t>(0x80 | (character >> 6 & 0x3F));
      out[3] = static_cast<std::uint8_t>(0x80 | (character & 0x3F));
      return 4;
    case Kind::kUtf16Le:
    case Kind::kUtf16Be: {
      char32_t units[2] = {character, 0};
      std::size_t count = 1;
      if (character >= 0x10000) {
        units[0] = 0xD800 + ((character - 0x10000) >> 10);
        units[1] = 0xDC00 + ((character - 0x10000) & 0x3FF);
        count = 2;
      }
      for (std::size_t i = 0; i < count; ++i) {
        const auto low = static_cast<std::uint8_t>(units[i] & 0xFF);
        const auto high = static_cast<std::uint8_t>(units[i] >> 8);
        out[2 * i] = kind == Kind::kUtf16Le ? low : high;
        out[2 * i + 1] = kind == Kind::kUtf16Le ? high : low;
      }
      return 2 * count;
    }
    case Kind::kWindows1251:
    case Kind::kWindows1252:
      break;
  }
  for (unsigned byte = 0; byte < 0x100; ++byte) {
    const char32_t mapped = singleByteToUnicode(kind, static_cast<std::uint8_t>(byte));
    if (mapped != kNone && mapped == character) {
      out[0] = static_cast<std::uint8_t>(byte);
      return 1;
    }
  }
  return 0;
}

// What a character that `kind` cannot take is written as.
std::size_t substitute(Kind kind, std::uint8_t* out) {
  if (kind == Kind::kWindows1251 || kind == Kind::kWindows1252) {
    out[0] = kSubstitutionByte;
    return 1;
  }
  return encode(kind, kReplacement, out);
}

// The common checks of ICU's conversion functions: false when nothing may be done.
bool mayConvert(const void* converter, const void* target, const void* source, UErrorCode* status) {
  if (status == nullptr || *status > kZeroError) return false;
  if (converter == nullptr || target == nullptr || source == nullptr) {
    *status = kIllegalArgumentError;
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

SUB_TEST_EXPORT void* ucnv_open_4_0(const char* converterName, UErrorCode* status) {
  if (status == nullptr || *status > kZeroError) return nullptr;
  Kind kind = Kind::kUtf8;
  if (converterName == nullptr || !kindNamed(converterName, &kind)) {
    *status = kFileAccessError;
    return nullptr;
  }
  return new Converter{kind};
}

SUB_TEST_EXPORT void ucnv_close_4_0(void* converter) { delete static_cast<Converter*>(converter); }

SUB_TEST_EXPORT void ucnv_toUnicode_4_0(void* converter, UChar** target, const UChar* targetLimit, const char** source,
                                        const char* sourceLimit, std::int32_t* offsets, UBool flush,
                                        UErrorCode* status) {
  if (!mayConvert(converter, target, source, status)) return;
  const Kind kind = static_cast<const Converter*>(converter)->kind;
  const auto* const start = reinterpret_cast<const std::uint8_t*>(*source);
  const auto* const end = reinterpret_cast<const std::uint8_t*>(sourceLimit);
  const auto* at = start;
  UChar* out = *target;
  while (at < end) {
    char32_t character = 0;
    std::size_t used = 0;
    const Decoded decoded = decode(kind, at, end, flush != 0, &character, &used);
    if (decoded == Decoded::kNeedMore) break;
    if (decoded == Decoded::kIllegal) character = kReplacement;
    const std::ptrdiff_t units = character >= 0x10000 ? 2 : 1;
    if (targetLimit - out < units) {
      *status = kBufferOverflowError;
      break;
    }
    if (units == 2) {
      *out++ = static_cast<UChar>(0xD800 + ((character - 0x10000) >> 10));
      *out++ = static_cast<UChar>(0xDC00 + ((character - 0x10000) & 0x3FF));
    } else {
      *out++ = static_cast<UChar>(character);
    }
    for (std::ptrdiff_t i = 0; offsets != nullptr && i < units; ++i) *offsets++ = static_cast<std::int32_t>(at - start);
    at += used;
  }
  *target = out;
  *source = reinterpret_cast<const char*>(at);
}

SUB_TEST_EXPORT void ucnv_fromUnicode_4_0(void* converter, char** target, const char* targetLimit, const UChar** source,
                                          const UChar* sourceLimit, std::int32_t* offsets, UBool flush,
                                          UErrorCode* status) {
  if (!mayConvert(converter, target, source, status)) return;
  const Kind kind = static_cast<const Converter*>(converter)->kind;
  const UChar* const start = *source;
  const UChar* at = start;
  char* out = *target;
  while (at < sourceLimit) {
    char32_t character = at[0];
    std::size_t used = 1;
    if (isHighSurrogate(character)) {
      if (at + 1 == sourceLimit && flush == 0) break;
      if (at + 1 < sourceLimit && isLowSurrogate(at[1])) {
        character = 0x10000 + ((character - 0xD800) << 10) + (at[1] - 0xDC00);
        used = 2;
      }
    }
    std::uint8_t bytes[4] = {};
    const bool unpaired = isHighSurrogate(character) || isLowSurrogate(character);
    std::size_t count = unpaired ? 0 : encode(kind, character, bytes);
    if (count == 0) count = substitute(kind, bytes);
    if (targetLimit - out < static_cast<std::ptrdiff_t>(count)) {
      *status = kBufferOverflowError;
      break;
    }
    for (std::size_t i = 0; i < count; ++i) {
      *out++ = static_cast<char>(bytes[i]);
      if (offsets != nullptr) *offsets++ = static_cast<std::int32_t>(at - start);
    }
    at += used;
  }
  *target = out;
  *source = at;
}

}  // extern "C"
