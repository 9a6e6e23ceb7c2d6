// The bytes are a text file in an unknown encoding. The first byte picks the
// code-page settings and the second how much of the file is read; the rest
// is the file. readTextFile decodes it as the host's settings say, and the
// transcoders take the same bytes: whatever is handed on as UTF-8 is strict
// UTF-8, and the conversions keep what they promise.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "text/encoding.h"
#include "text/parser_utilities.h"

namespace {

bool isStrict(const std::string& text) {
  return Kelvo::isStrictUtf8(reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(text.size()));
}

// The file read through readTextFile with the host's settings.
void readThroughTheReader(const Kelvo::fuzzing::ScratchFile& file, std::string_view bytes, std::uint8_t settings,
                          std::uint8_t lengthByte) {
  file.write(bytes);
  Kelvo::testing::FakeOwner owner;
  Kelvo::fuzzing::configureOwner(owner, settings, 0);
  // The whole file, a prefix as the probe reads one, or more than there is.
  const auto size = static_cast<std::int32_t>(bytes.size());
  const std::int32_t lengths[] = {-1, size / 2, size, size + 1};
  const std::int32_t length = lengths[lengthByte % 4];
  Kelvo::String<unsigned char> text = Kelvo::String<unsigned char>::fromView("unchanged");
  const bool read =
      Kelvo::ParserUtilities::readTextFile(Kelvo::String<unsigned char>::fromView(file.path()), &owner, &text, length);
  if (!read) {
    SUB_FUZZ_CHECK(text.view() == "unchanged");
    return;
  }
  SUB_FUZZ_CHECK(length != size + 1);
  SUB_FUZZ_CHECK(text.chars != nullptr);
  SUB_FUZZ_CHECK(Kelvo::isStrictUtf8(text.chars, text.length));
  SUB_FUZZ_CHECK(text.length == 0 || Kelvo::isLegalUtf8Sequence(text.chars, text.chars + text.length));
}

void transcode(const std::uint8_t* bytes, std::uint32_t count, std::uint8_t settings) {
  const char* page = Kelvo::fuzzing::kCodePages[(settings >> 2) & 15];
  if (page != nullptr) SUB_FUZZ_CHECK(isStrict(Kelvo::convertToUtf8(page, bytes, count)));

  Kelvo::String<char> signature = Kelvo::String<char>::fromView("none");
  const std::uint32_t skip = Kelvo::detectSignature(bytes, count, signature);
  SUB_FUZZ_CHECK(skip == 0 ? signature.view() == "none" : skip <= count && skip <= 4);
  if (skip != 0) SUB_FUZZ_CHECK(isStrict(Kelvo::convertToUtf8(signature.chars, bytes + skip, count - skip)));

  const std::string repaired = Kelvo::replaceIllFormedUtf8(bytes, count);
  SUB_FUZZ_CHECK(isStrict(repaired));
  // The fast check and the repair agree: only well-formed text comes through unchanged.
  const bool strict = Kelvo::isStrictUtf8(bytes, count);
  SUB_FUZZ_CHECK(strict == (repaired == std::string_view(reinterpret_cast<const char*>(bytes), count)));

  // Strict UTF-8 widens to as many units as a lenient decoding gives, and
  // back to the same bytes.
  char16_t* wide = Kelvo::widenStrict(bytes, count);
  SUB_FUZZ_CHECK(wide != nullptr);
  const std::size_t wideLength = std::char_traits<char16_t>::length(wide);
  if (!strict || count == 0) SUB_FUZZ_CHECK(wideLength == 0);
  std::free(wide);

  const std::unique_ptr<char16_t[]> units(new char16_t[count + 1]);
  bool hadMark = false;
  const std::int32_t unitCount = Kelvo::utf8ToUtf16(bytes, count, units.get(), count + 1, &hadMark);
  if (strict) SUB_FUZZ_CHECK(unitCount >= 0);
  if (unitCount < 0) return;
  SUB_FUZZ_CHECK(static_cast<std::uint32_t>(unitCount) <= count);
  const std::uint32_t capacity = static_cast<std::uint32_t>(unitCount) * 3 + 3;
  const std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[capacity]);
  const std::int32_t byteCount =
      Kelvo::utf16ToUtf8(units.get(), static_cast<std::uint32_t>(unitCount), back.get(), capacity, hadMark);
  if (strict) {
    SUB_FUZZ_CHECK(byteCount == static_cast<std::int32_t>(count));
    SUB_FUZZ_CHECK(std::memcmp(back.get(), bytes, count) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > Kelvo::fuzzing::kMaxInputBytes) return 0;
  const Kelvo::fuzzing::InputCopy input(data, size);
  static const Kelvo::fuzzing::ScratchFile file(".txt");

  Kelvo::fuzzing::ByteReader reader(input.data(), input.size());
  const std::uint8_t settings = reader.byte();
  const std::uint8_t lengthByte = reader.byte();
  const std::string_view rest = reader.rest();
  readThroughTheReader(file, rest, settings, lengthByte);

  // The transcoders get the bytes in an allocation of their own size.
  const Kelvo::fuzzing::InputCopy bytes(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
  transcode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), settings);
  return 0;
}
