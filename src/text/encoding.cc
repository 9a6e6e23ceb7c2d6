#include "text/encoding.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

#include "text/ucnv_library.h"

namespace Kelvo {

namespace {

using Quarnel::UCNVLibrary;
using Quarnel::UConverter;
using Quarnel::UErrorCode;

struct Signature {
  std::string_view bytes;
  const char* name;
};

// Tested in this order: "UTF32-LE" before "UTF16-LE", so FF FE 00 00 is UTF-32.
constexpr Signature kSignatures[] = {
    {{"\x00\x00\xFE\xFF", 4}, "UTF32-BE"},
    {{"\xFF\xFE\x00\x00", 4}, "UTF32-LE"},
    {"\xFE\xFF", "UTF16-BE"},
    {"\xFF\xFE", "UTF16-LE"},
    {"\xEF\xBB\xBF", "UTF8"},
    {"\x2B\x2F\x76\x38", "UTF7"},
    {"\x2B\x2F\x76\x39", "UTF7"},
    {"\x2B\x2F\x76\x2B", "UTF7"},
    {"\x2B\x2F\x76\x2F", "UTF7"},
    {"\x0E\xFE\xFF", "SCSU"},
    {"\xFB\xEE\x28", "BOCU-1"},
    {"\x84\x31\x95\x33", "GB-18030"},
};

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The worst cases that the buffers of toUtf16 and fromUtf16 are sized for.
constexpr std::size_t kUnitsPerByte = 4;
constexpr std::size_t kBytesPerUnit = 4;
// UTF-8 needs at most three bytes per UTF-16 unit (four per surrogate pair).
constexpr std::size_t kUtf8BytesPerUnit = 3;
// A code page is decoded to UTF-8 in pieces of this many UTF-16 units, so
// that its buffers stay small whatever the size of the text.
constexpr std::size_t kPieceUnits = 16384;

// A converter opened by name, closed when this object dies.
class OpenConverter final {
 public:
  explicit OpenConverter(const char* name) : icu(UCNVLibrary::instance()) {
    UErrorCode status = Quarnel::kUZeroError;
    converter = icu->open(name, &status);
    if (converter != nullptr && Quarnel::isFailure(status)) {
      icu->close(converter);
      converter = nullptr;
    }
  }
  OpenConverter(const OpenConverter&) = delete;
  OpenConverter& operator=(const OpenConverter&) = delete;
  ~OpenConverter() {
    if (converter != nullptr) icu->close(converter);
  }

  UCNVLibrary* const icu;
  UConverter* converter;
};

// Converts the whole source in one flushed call into `out`, which has room for
// `capacity` elements, and stores the number written. Fails when the converter
// cannot be opened or the conversion reports an error: a result that did not
// fit is refused rather than handed on cut short.
template <typename Source, typename Target, typename Convert>
bool convertOnce(const char* name, const Source* source, std::size_t count, Target* out, std::size_t capacity,
                 std::size_t* written, Convert convert) {
  OpenConverter opened(name);
  if (opened.converter == nullptr) return false;
  Target* target = out;
  const Source* from = source;
  UErrorCode status = Quarnel::kUZeroError;
  convert(opened, &target, out + capacity, &from, source + count, &status);
  if (Quarnel::isFailure(status)) return false;
  *written = static_cast<std::size_t>(target - out);
  return true;
}

bool decodeOnce(const char* name, const std::uint8_t* text, std::size_t length, char16_t* out, std::size_t capacity,
                std::size_t* written) {
  return convertOnce(name, reinterpret_cast<const char*>(text), length, out, capacity, written,
                     [](OpenConverter& opened, char16_t** target, const char16_t* limit, const char** source,
                        const char* sourceLimit, UErrorCode* status) {
                       opened.icu->toUnicode(opened.converter, target, limit, source, sourceLimit, nullptr, 1, status);
                     });
}

bool encodeOnce(const char* name, const char16_t* units, std::size_t count, char* out, std::size_t capacity,
                std::size_t* written) {
  return convertOnce(name, units, count, out, capacity, written,
                     [](OpenConverter& opened, char** target, const char* limit, const char16_t** source,
                        const char16_t* sourceLimit, UErrorCode* status) {
                       opened.icu->fromUnicode(opened.converter, target, limit, source, sourceLimit, nullptr, 1,
                                               status);
                     });
}

// Decodes the `length` bytes at `text` from `name` and encodes them as UTF-8,
// piece by piece through a small UTF-16 buffer; `take(const char* bytes,
// std::size_t count)` receives the UTF-8 pieces in order. False when a
// converter cannot be opened or reports an error other than a full buffer.
template <typename Take>
bool convertInPieces(const char* name, const std::uint8_t* text, std::size_t length, Take&& take) {
  OpenConverter decoder(name);
  OpenConverter encoder("utf8");
  if (decoder.converter == nullptr || encoder.converter == nullptr) return false;
  const UCNVLibrary* const icu = decoder.icu;
  const std::unique_ptr<char16_t[]> units(new char16_t[kPieceUnits]);
  constexpr std::size_t kPieceBytes = kPieceUnits * kUtf8BytesPerUnit;
  const std::unique_ptr<char[]> bytes(new char[kPieceBytes]);
  const char* source = reinterpret_cast<const char*>(text);
  const char* const sourceEnd = source + length;
  // The whole text is at hand, so every decoding call flushes; the encoder
  // flushes only with the last units, since a surrogate pair may straddle two pieces.
  for (bool decoding = true; decoding;) {
    char16_t* unitsEnd = units.get();
    UErrorCode decoded = Quarnel::kUZeroError;
    icu->toUnicode(decoder.converter, &unitsEnd, units.get() + kPieceUnits, &source, sourceEnd, nullptr, 1, &decoded);
    decoding = decoded == Quarnel::kUBufferOverflowError;
    if (!decoding && Quarnel::isFailure(decoded)) return false;
    const char16_t* from = units.get();
    for (bool encoding = true; encoding;) {
      char* bytesEnd = bytes.get();
      UErrorCode encoded = Quarnel::kUZeroError;
      icu->fromUnicode(encoder.converter, &bytesEnd, bytes.get() + kPieceBytes, &from, unitsEnd, nullptr,
                       decoding ? 0 : 1, &encoded);
      encoding = encoded == Quarnel::kUBufferOverflowError;
      if (!encoding && Quarnel::isFailure(encoded)) return false;
      take(bytes.get(), static_cast<std::size_t>(bytesEnd - bytes.get()));
    }
  }
  return true;
}

// The element count of a worst-case buffer; it must fit the 32-bit counts.
std::size_t worstCase(std::uint32_t count, std::size_t perElement) {
  const std::size_t size = static_cast<std::size_t>(count) * perElement + 1;
  if (size > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  return size;
}

// The length of the sequence that `lead` starts, 1 to 6, by its bit pattern.
std::uint32_t sequenceLength(std::uint8_t lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  if (lead < 0xFC) return 5;
  return 6;
}

// Whether `second` may follow `lead` in a well-formed sequence.
bool isValidSecondByte(std::uint8_t lead, std::uint8_t second) {
  switch (lead) {
    case 0xE0:
      return second >= 0xA0 && second <= 0xBF;  // no overlong three-byte form
    case 0xED:
      return second >= 0x80 && second <= 0x9F;  // no surrogate
    case 0xF0:
      return second >= 0x90 && second <= 0xBF;  // no overlong four-byte form
    case 0xF4:
      return second >= 0x80 && second <= 0x8F;  // nothing above U+10FFFF
    default:
      return second >= 0x80 && second <= 0xBF;
  }
}

bool isContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the maximal ill-formed subsequence at `first`: a valid lead
// byte with the valid continuation bytes that follow it, or one byte.
std::uint32_t illFormedLength(const std::uint8_t* first, const std::uint8_t* end) {
  const std::uint8_t lead = first[0];
  if (lead < 0xC2 || lead > 0xF4) return 1;
  const std::uint32_t expected = sequenceLength(lead);
  std::uint32_t length = 1;
  while (length < expected && first + length < end &&
         (length == 1 ? isValidSecondByte(lead, first[1]) : isContinuation(first[length]))) {
    ++length;
  }
  return length;
}

}  // namespace

std::uint32_t detectSignature(const std::uint8_t* text, std::uint32_t length, String<char>& name) {
  if (text == nullptr) return 0;
  const std::string_view start(reinterpret_cast<const char*>(text), length);
  for (const Signature& signature : kSignatures) {
    if (start.substr(0, signature.bytes.size()) == signature.bytes) {
      name.assign(String<char>(signature.name, StandardAllocator<char>::instance()));
      return static_cast<std::uint32_t>(signature.bytes.size());
    }
  }
  return 0;
}

std::string convertToUtf8(const char* encodingName, const std::uint8_t* text, std::uint32_t length) {
  if (encodingName == nullptr || text == nullptr || length == 0) return {};
  std::string result;
  if (!convertInPieces(encodingName, text, length,
                       [&result](const char* bytes, std::size_t count) { result.append(bytes, count); })) {
    return {};
  }
  return result;
}

bool convertToUtf8(const char* encodingName, const std::uint8_t* text, std::uint32_t length,
                   String<unsigned char>* result) {
  if (encodingName == nullptr || text == nullptr || length == 0 || result == nullptr) return false;
  // Measured first, so that the text is written once into a block of its
  // exact size and no buffer ever grows.
  std::uint64_t size = 0;
  if (!convertInPieces(encodingName, text, length, [&size](const char*, std::size_t count) { size += count; })) {
    return false;
  }
  if (size == 0 || size >= std::numeric_limits<std::uint32_t>::max()) return false;
  const auto count = static_cast<std::uint32_t>(size);
  String<unsigned char> converted(static_cast<const unsigned char*>(nullptr), result->allocator);
  converted.adopt(result->allocator->allocate(count + 1), count);
  std::uint32_t written = 0;
  const bool again = convertInPieces(encodingName, text, length, [&](const char* bytes, std::size_t piece) {
    const std::size_t fits = std::min<std::size_t>(piece, count - written);
    std::memcpy(converted.chars + written, bytes, fits);
    written += static_cast<std::uint32_t>(fits);
  });
  if (!again || written != count) return false;
  converted.chars[count] = 0;
  result->takeOver(converted);
  return true;
}

bool toUtf16(const char* encodingName, const std::uint8_t* text, std::uint32_t length, char16_t** units,
             std::uint32_t* count) {
  if (units != nullptr) *units = nullptr;
  if (count != nullptr) *count = 0;
  if (encodingName == nullptr || text == nullptr || length == 0 || units == nullptr || count == nullptr) {
    return false;
  }
  const std::size_t capacity = worstCase(length, kUnitsPerByte);
  std::unique_ptr<char16_t[]> array(new char16_t[capacity]);
  std::size_t written = 0;
  // The last unit stays free for the terminator.
  if (!decodeOnce(encodingName, text, length, array.get(), capacity - 1, &written)) return false;
  array[written] = 0;
  *count = static_cast<std::uint32_t>(written);
  *units = array.release();
  return true;
}

bool fromUtf16(const char* converterName, const char16_t* units, std::uint32_t count, std::uint8_t** bytes,
               std::uint32_t* byteCount) {
  if (bytes != nullptr) *bytes = nullptr;
  if (byteCount != nullptr) *byteCount = 0;
  if (converterName == nullptr || units == nullptr || count == 0 || bytes == nullptr || byteCount == nullptr) {
    return false;
  }
  const std::size_t capacity = worstCase(count, kBytesPerUnit);
  std::unique_ptr<std::uint8_t[]> array(new std::uint8_t[capacity]);
  std::size_t written = 0;
  if (!encodeOnce(converterName, units, count, reinterpret_cast<char*>(array.get()), capacity - 1, &written)) {
    return false;
  }
  array[written] = 0;
  *byteCount = static_cast<std::uint32_t>(written);
  *bytes = array.release();
  return true;
}

char16_t* widenStrict(const std::uint8_t* bytes, std::uint32_t count) {
  const std::size_t capacity = bytes == nullptr ? 1 : static_cast<std::size_t>(count) + 1;
  auto* out = static_cast<char16_t*>(std::malloc(capacity * sizeof(char16_t)));
  if (out == nullptr) throw std::bad_alloc();
  out[0] = 0;
  if (bytes == nullptr) return out;
  const std::uint8_t* const end = bytes + count;
  std::size_t written = 0;
  for (const std::uint8_t* at = bytes; at < end;) {
    if (!isLegalUtf8Sequence(at, end)) {
      out[0] = 0;
      return out;
    }
    const std::uint32_t length = sequenceLength(*at);
    std::uint32_t value = length == 1 ? *at : *at & (0xFFu >> (length + 1));
    for (std::uint32_t k = 1; k < length; ++k) value = (value << 6) | (at[k] & 0x3Fu);
    at += length;
    if (value > 0xFFFF) {
      out[written++] = static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
      out[written++] = static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
    } else {
      out[written++] = static_cast<char16_t>(value);
    }
  }
  out[written] = 0;
  return out;
}

bool isLegalUtf8Sequence(const std::uint8_t* first, const std::uint8_t* end) {
  if (first == nullptr || first >= end) return false;
  const std::uint8_t lead = first[0];
  const std::uint32_t length = sequenceLength(lead);
  if (length > static_cast<std::size_t>(end - first)) return false;
  if (length > 4) return false;
  if (length == 1) return lead < 0x80;
  if (lead < 0xC2 || lead > 0xF4) return false;
  if (!isValidSecondByte(lead, first[1])) return false;
  for (std::uint32_t k = 2; k < length; ++k) {
    if (!isContinuation(first[k])) return false;
  }
  return true;
}

bool isStrictUtf8(const std::uint8_t* bytes, std::uint32_t count) {
  if (count == 0) return true;
  if (bytes == nullptr) return false;
  const std::uint8_t* const end = bytes + count;
  for (const std::uint8_t* at = bytes; at < end;) {
    // Runs of ASCII, which is most of a subtitle file, eight bytes at a time,
    // on to the first byte that is not ASCII.
    if (end - at >= 8) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, at, 8);
      const std::uint64_t high = eight & 0x8080808080808080u;
      if (high == 0) {
        at += 8;
        continue;
      }
      if constexpr (std::endian::native == std::endian::little) at += std::countr_zero(high) / 8;
    }
    if (*at < 0x80) {
      ++at;
      continue;
    }
    // Two-byte characters (Latin, Greek, Cyrillic...) are the next most common.
    if (*at >= 0xC2 && *at <= 0xDF && end - at >= 2 && isContinuation(at[1])) {
      at += 2;
      continue;
    }
    if (!isLegalUtf8Sequence(at, end)) return false;
    at += sequenceLength(*at);
  }
  return true;
}

std::string replaceIllFormedUtf8(const std::uint8_t* bytes, std::uint32_t count) {
  std::string repaired;
  if (bytes == nullptr) return repaired;
  repaired.reserve(count);
  const std::uint8_t* const end = bytes + count;
  for (const std::uint8_t* at = bytes; at < end;) {
    if (isLegalUtf8Sequence(at, end)) {
      const std::uint32_t length = sequenceLength(*at);
      repaired.append(reinterpret_cast<const char*>(at), length);
      at += length;
    } else {
      repaired.append(kReplacementCharacter);
      at += illFormedLength(at, end);
    }
  }
  return repaired;
}

std::int32_t utf8ToUtf16(const std::uint8_t* bytes, std::uint32_t count, char16_t* out, std::uint32_t capacity,
                         bool* hadMark) {
  assert(count <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()));
  std::uint32_t at = 0;
  const bool mark = count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
  if (hadMark != nullptr) *hadMark = mark;
  if (mark) at = 3;
  std::uint32_t written = 0;
  while (at < count) {
    const std::uint8_t lead = bytes[at++];
    std::uint32_t following = 0;
    std::uint32_t value = lead;
    if (lead >= 0x80) {
      if (lead < 0xC0 || lead >= 0xF8) return -1;
      following = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
      value = lead & (0x3Fu >> following);
    }
    // Overlong forms and encoded surrogates pass: this decoder is lenient.
    for (std::uint32_t k = 0; k < following; ++k, ++at) {
      if (at >= count || !isContinuation(bytes[at])) return -1;
      value = (value << 6) | (bytes[at] & 0x3Fu);
    }
    if (value > 0xFFFF) {
      if (value > 0x10FFFF || capacity - written < 2) return -1;
      out[written++] = static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
      out[written++] = static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
    } else {
      if (written >= capacity) return -1;
      out[written++] = static_cast<char16_t>(value);
    }
  }
  return static_cast<std::int32_t>(written);
}

std::int32_t utf16ToUtf8(const char16_t* units, std::uint32_t count, std::uint8_t* out, std::uint32_t capacity,
                         bool writeMark) {
  std::uint32_t written = 0;
  if (writeMark) {
    if (capacity < 3) return -1;
    out[written++] = 0xEF;
    out[written++] = 0xBB;
    out[written++] = 0xBF;
  }
  for (std::uint32_t at = 0; at < count;) {
    std::uint32_t value = units[at++];
    if (value >= 0xD800 && value <= 0xDBFF) {
      if (at >= count || units[at] < 0xDC00 || units[at] > 0xDFFF) return -1;
      value = 0x10000 + ((value & 0x3FF) << 10) + (units[at++] & 0x3FFu);
    }
    // A lone low surrogate is encoded as its own value.
    const std::uint32_t length = value < 0x80 ? 1 : value < 0x800 ? 2 : value <= 0xFFFF ? 3 : 4;
    if (capacity - written < length) return -1;
    if (length == 1) {
      out[written++] = static_cast<std::uint8_t>(value);
      continue;
    }
    static constexpr std::uint8_t kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out[written++] = static_cast<std::uint8_t>(kLeadMarks[length] | (value >> (6 * (length - 1))));
    for (std::uint32_t k = length - 1; k > 0; --k) {
      out[written++] = static_cast<std::uint8_t>(0x80 | ((value >> (6 * (k - 1))) & 0x3F));
    }
  }
  return static_cast<std::int32_t>(written);
}

std::u16string toWideString(const std::string& utf8) {
  const auto count = static_cast<std::uint32_t>(utf8.size());
  std::u16string wide(count, u'\0');
  const std::int32_t written =
      utf8ToUtf16(reinterpret_cast<const std::uint8_t*>(utf8.data()), count, wide.data(), count, nullptr);
  if (written < 0) return {};
  wide.resize(static_cast<std::size_t>(written));
  return wide.substr(0, wide.find(u'\0'));
}

std::string toNarrowString(const std::u16string& utf16) {
  const auto count = static_cast<std::uint32_t>(utf16.size());
  std::string narrow(static_cast<std::size_t>(count) * kUtf8BytesPerUnit, '\0');
  const std::int32_t written = utf16ToUtf8(utf16.data(), count, reinterpret_cast<std::uint8_t*>(narrow.data()),
                                           static_cast<std::uint32_t>(narrow.size()), false);
  if (written < 0) return {};
  narrow.resize(static_cast<std::size_t>(written));
  return narrow.substr(0, narrow.find('\0'));
}

}  // namespace Kelvo
