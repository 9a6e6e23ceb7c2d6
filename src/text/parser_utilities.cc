#include "text/parser_utilities.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>

#include "framework/setting.h"
#include "log/logger.h"
#include "platform/file_reader.h"
#include "text/charset_detector.h"
#include "text/encoding.h"
#include "text/ucsdet_library.h"

namespace Kelvo {

namespace {

constexpr const char* kCategory = "Utilities";
constexpr const char* kFunction = "Kelvo::ParserUtilities::readTextFile";
constexpr std::int32_t kOpenFailedLine = 284;
constexpr std::int32_t kAllocationFailedLine = 298;
constexpr std::int32_t kShortReadLine = 309;
constexpr std::int32_t kDetectedEncodingLine = 327;

constexpr std::int32_t kWholeFile = -1;

// The owner's answer to a "CodePage" question; a null owner answers nothing.
SettingValue askCodePage(ContainerOwner* owner, const char* name) {
  SettingValue value{};  // type 0: not given
  if (owner == nullptr) return value;
  Setting setting(kSettingKindValue, String<char>("CodePage", StandardAllocator<char>::instance()),
                  String<char>(name, StandardAllocator<char>::instance()));
  owner->getSetting(setting, &value);
  return value;
}

// The converter name that decides how the `count` bytes at `bytes` are
// decoded, empty for none; `*skip` is the length of a signature that decided it.
String<char> chooseEncoding(ContainerOwner* owner, const std::uint8_t* bytes, std::uint32_t count,
                            std::uint32_t* skip) {
  String<char> name;
  const SettingValue overrideEmbedded = askCodePage(owner, "OverrideEmbedded");
  if (overrideEmbedded.type == kSettingTypeBoolean && overrideEmbedded.payload.boolean == 0) {
    *skip = detectSignature(bytes, count, name);
    if (*skip != 0) return name;
  }
  const SettingValue codePage = askCodePage(owner, "Name");
  if (codePage.type == kSettingTypeString && codePage.payload.text != nullptr) name.assign(*codePage.payload.text);
  return name;
}

// The code page detected for the `count` bytes at `bytes`, which declare
// none; empty when they are UTF-8 or no code page is trusted, which leaves
// them to the U+FFFD repair. A null `detector` is the process-wide one.
String<char> detectEncoding(const std::uint8_t* bytes, std::uint32_t count, const Quarnel::UCSDetLibrary* detector) {
  String<char> name;
  if (isStrictUtf8(bytes, count)) return name;
  const std::optional<DetectedCharset> detected =
      detectCharset(bytes, count, detector != nullptr ? *detector : *Quarnel::UCSDetLibrary::instance());
  if (!detected) return name;
  Logger::instance()->log(kCategory, kFunction, kDetectedEncodingLine, "Detected encoding %s (confidence %d)\n",
                          detected->name.c_str(), static_cast<int>(detected->confidence));
  if (isTrusted(*detected)) name.assign(String<char>(detected->name.c_str(), StandardAllocator<char>::instance()));
  return name;
}

bool beginsWithLegalCharacter(const std::uint8_t* bytes, std::size_t count) {
  return isLegalUtf8Sequence(bytes, bytes + count);
}

// Decodes the file's `bytes` (a signature of `skip` bytes first) into
// `*decoded`, on the same allocator, and releases them as soon as they are no
// longer needed: bytes that need no decoding become the text themselves, so at
// most one copy besides the result is ever alive. `*decoded` stays null when
// the text does not begin with a legal character.
void decodeText(const String<char>& encoding, String<unsigned char>& bytes, std::uint32_t skip,
                String<unsigned char>* decoded) {
  const std::uint8_t* const start = bytes.chars + skip;
  const std::uint32_t size = bytes.length - skip;
  if (!encoding.view().empty()) {
    String<unsigned char> converted(static_cast<const unsigned char*>(nullptr), bytes.allocator);
    const bool ok = convertToUtf8(encoding.chars, start, size, &converted);
    bytes.clear();
    if (!ok) return;
    // The text ends at its first zero.
    converted.length = static_cast<std::uint32_t>(std::strlen(reinterpret_cast<const char*>(converted.chars)));
    if (beginsWithLegalCharacter(converted.chars, converted.length)) decoded->takeOver(converted);
    return;
  }
  // No encoding given: the bytes pass as they are, zero bytes included. The
  // first character is judged before the repair, so a text that starts
  // ill-formed still fails.
  if (!beginsWithLegalCharacter(start, size)) return;
  if (isStrictUtf8(start, size)) {
    decoded->takeOver(bytes);  // nothing was skipped: a signature always names an encoding
    return;
  }
  const std::string repaired = replaceIllFormedUtf8(start, size);
  bytes.clear();
  decoded->adopt(bytes.allocator->allocate(static_cast<std::uint32_t>(repaired.size()) + 1),
                 static_cast<std::uint32_t>(repaired.size()));
  std::memcpy(decoded->chars, repaired.c_str(), repaired.size() + 1);
}

long asLong(std::uint64_t value) {
  return static_cast<long>(std::min<std::uint64_t>(value, std::numeric_limits<long>::max()));
}

}  // namespace

bool ParserUtilities::readTextFile(const String<unsigned char>& path, ContainerOwner* owner,
                                   String<unsigned char>* text, std::int32_t length) {
  return readTextFile(path, owner, text, length, nullptr);
}

bool ParserUtilities::readTextFile(const String<unsigned char>& path, ContainerOwner* owner,
                                   String<unsigned char>* text, std::int32_t length,
                                   const Quarnel::UCSDetLibrary* detector) {
  if (text == nullptr || length < kWholeFile) return false;
  const std::string pathText = path.toStdString();
  platform::FileReader file;
  if (!isStrictUtf8(reinterpret_cast<const std::uint8_t*>(pathText.data()),
                    static_cast<std::uint32_t>(pathText.size())) ||
      file.open(pathText.c_str()) != platform::FileStatus::kOk) {
    Logger::instance()->log(kCategory, kFunction, kOpenFailedLine, "Failed to open file %s\n", pathText.c_str());
    return false;
  }

  const std::uint64_t wanted = length == kWholeFile ? file.size() : static_cast<std::uint64_t>(length);
  // The bytes are read into a block of the caller's allocator, so that a text
  // that needs no decoding is handed over without a copy. A file of 2 GiB or
  // more does not fit the signed 32-bit length.
  String<unsigned char> bytes(static_cast<const unsigned char*>(nullptr), text->allocator);
  if (wanted <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    try {
      bytes.adopt(text->allocator->allocate(static_cast<std::uint32_t>(wanted) + 1),
                  static_cast<std::uint32_t>(wanted));
    } catch (const std::bad_alloc&) {
      // Reported below, like a file too large to hold.
    }
  }
  if (bytes.chars == nullptr) {
    Logger::instance()->log(kCategory, kFunction, kAllocationFailedLine, "Couldn't allocate %ld bytes\n",
                            asLong(wanted + 1));
    return false;
  }
  const std::uint32_t count = bytes.length;
  bytes.chars[count] = 0;

  std::uint32_t got = 0;
  const platform::FileStatus read = file.read(bytes.chars, count, &got);
  file.close();
  if (read != platform::FileStatus::kOk || got != count) {
    Logger::instance()->log(kCategory, kFunction, kShortReadLine, "Tried to read %ld bytes, got %ld\n",
                            static_cast<long>(count), static_cast<long>(got));
    return false;
  }

  std::uint32_t skip = 0;
  String<char> encoding = chooseEncoding(owner, bytes.chars, count, &skip);
  if (encoding.view().empty()) encoding.assign(detectEncoding(bytes.chars + skip, count - skip, detector));
  String<unsigned char> decoded(static_cast<const unsigned char*>(nullptr), text->allocator);
  decodeText(encoding, bytes, skip, &decoded);
  if (decoded.chars == nullptr) return false;
  text->takeOver(decoded);
  return true;
}

}  // namespace Kelvo
