// Character encodings: recognising a text's encoding by the signature at its
// start, converting any code page to UTF-8 through the ICU binding, and the
// plug-in's own UTF-8/UTF-16 transcoders (strict, lenient, and the repair of
// ill-formed UTF-8). Free functions without state; any thread may call them.
// UTF-16 text is in machine order.
#pragma once

#include <cstdint>
#include <string>

#include "framework/portable_string.h"

namespace Kelvo {

// Compares the start of the `length` bytes at `text` with the nine known
// signatures (byte-order marks and their equivalents) in a fixed order. On a
// match assigns the encoding's converter name to `name` ("UTF32-BE",
// "UTF32-LE", "UTF16-BE", "UTF16-LE", "UTF8", "UTF7", "SCSU", "BOCU-1",
// "GB-18030") and returns the signature's length in bytes (2, 3 or 4). No
// match returns 0 and leaves `name` as it was. Bytes past `length` never match.
std::uint32_t detectSignature(const std::uint8_t* text, std::uint32_t length, String<char>& name);

// The `length` bytes at `text`, decoded from the code page `encodingName`
// (any converter name ICU accepts), as UTF-8. Zero bytes in the result are
// kept. Empty when the name or text is null, the length is 0, the converter
// cannot be opened, or nothing came out. Bytes that are illegal or
// unmappable in the source get ICU's default substitution.
std::string convertToUtf8(const char* encodingName, const std::uint8_t* text, std::uint32_t length);

// The same conversion into `*result`, on its allocator: a block of exactly the
// UTF-8 length and a terminating zero. The text is decoded in pieces twice,
// to measure and then to write, so it needs no memory beyond its input and
// its result. Returns false, with `*result` unchanged, where convertToUtf8
// gives an empty string, for a null `result`, and for a result of 4 GiB or
// more. Throws std::bad_alloc only.
bool convertToUtf8(const char* encodingName, const std::uint8_t* text, std::uint32_t length,
                   String<unsigned char>* result);

// Decodes the `length` bytes at `text` from `encodingName` into a new array of
// UTF-16 units sized for the worst case (4 units per byte), terminated by a 0
// unit that `*count` does not include. The caller frees `*units` with
// delete[]. On failure (a null or zero argument, a converter that cannot be
// opened) returns false with `*units` null and `*count` 0. Throws
// std::bad_alloc only.
bool toUtf16(const char* encodingName, const std::uint8_t* text, std::uint32_t length, char16_t** units,
             std::uint32_t* count);

// Encodes `count` UTF-16 units with the converter `converterName` into a new
// byte array sized for the worst case (4 bytes per unit), terminated by a 0
// byte that `*byteCount` does not include. The caller frees `*bytes` with
// delete[]. Failure as toUtf16.
bool fromUtf16(const char* converterName, const char16_t* units, std::uint32_t count, std::uint8_t** bytes,
               std::uint32_t* byteCount);

// Decodes `count` bytes of strict UTF-8 (every sequence legal as
// isLegalUtf8Sequence says, none cut off by the end) into a new zero-terminated
// UTF-16 array of count + 1 units from malloc; the caller frees it with free().
// Any illegal or truncated sequence, or a null `bytes`, gives an empty array
// (its first unit 0). Throws std::bad_alloc only.
char16_t* widenStrict(const std::uint8_t* bytes, std::uint32_t count);

// True when the bytes from `first` up to `end` begin with one complete, legal
// UTF-8 sequence (no overlong form, no surrogate, nothing above U+10FFFF).
bool isLegalUtf8Sequence(const std::uint8_t* first, const std::uint8_t* end);

// True when all `count` bytes are strict UTF-8; zero bytes are legal.
bool isStrictUtf8(const std::uint8_t* bytes, std::uint32_t count);

// Decoding policy for bytes that are handed on as UTF-8 without knowing their
// encoding: every legal sequence is kept byte for byte (zero bytes included)
// and each maximal ill-formed subsequence (a lead byte with as many of its
// valid continuation bytes as follow it, or a lone invalid byte) becomes one
// U+FFFD. The result is always strict UTF-8.
std::string replaceIllFormedUtf8(const std::uint8_t* bytes, std::uint32_t count);

// Lenient UTF-8 decoder: drops a leading byte-order mark (setting `*hadMark`,
// else clearing it) and accepts overlong forms and encoded surrogates as they
// are. Returns the number of units written to `out`, or -1 for a lone
// continuation byte, a lead byte above F7, a missing continuation byte, a value
// above U+10FFFF or too small a `capacity`; `out` is then partly written.
std::int32_t utf8ToUtf16(const std::uint8_t* bytes, std::uint32_t count, char16_t* out, std::uint32_t capacity,
                         bool* hadMark);

// UTF-16 encoder, writing a byte-order mark first when `writeMark` is set. A
// high surrogate must be followed by a low one; a lone low surrogate is encoded
// as its own value. Returns the number of bytes written to `out`, or -1 for
// an unpaired high surrogate or too small a `capacity`.
std::int32_t utf16ToUtf8(const char16_t* units, std::uint32_t count, std::uint8_t* out, std::uint32_t capacity,
                         bool writeMark);

// `utf8` decoded leniently (a leading byte-order mark dropped), up to its
// first 0 unit; empty when the decoder fails.
std::u16string toWideString(const std::string& utf8);

// `utf16` encoded as UTF-8 without a mark, up to its first 0 byte; empty when
// the encoder fails.
std::string toNarrowString(const std::u16string& utf16);

}  // namespace Kelvo
