#include "text/parser_utilities.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "framework/memory_buffer.h"
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

// The file's bytes as UTF-8 text, or a null string when they do not begin
// with a legal character. The file's buffer is released as soon as a
// decoded copy exists, so at most one copy besides the result is alive.
String<unsigned char> decodeText(const String<char>& encoding, ortl::MemoryBuffer<std::uint8_t>& buffer,
                                 std::uint32_t skip, std::uint32_t count) {
  const std::uint8_t* const start = buffer.storage + skip;
  const std::uint32_t size = count - skip;
  if (!encoding.view().empty()) {
    std::string decoded = convertToUtf8(encoding.chars, start, size);
    buffer.resize(0, false);
    decoded.resize(std::strlen(decoded.c_str()));  // the text ends at its first zero
    const auto* utf8 = reinterpret_cast<const std::uint8_t*>(decoded.data());
    if (!beginsWithLegalCharacter(utf8, decoded.size())) return {};
    return String<unsigned char>(utf8, static_cast<std::uint32_t>(decoded.size()),
                                 StandardAllocator<unsigned char>::instance());
  }
  // No encoding given: the bytes pass as they are, zero bytes included. The
  // first character is judged before the repair, so a text that starts
  // ill-formed still fails.
  if (!beginsWithLegalCharacter(start, size)) return {};
  if (isStrictUtf8(start, size)) {
    return String<unsigned char>(start, size, StandardAllocator<unsigned char>::instance());
  }
  const std::string repaired = replaceIllFormedUtf8(start, size);
  buffer.resize(0, false);
  return String<unsigned char>(reinterpret_cast<const std::uint8_t*>(repaired.data()),
                               static_cast<std::uint32_t>(repaired.size()),
                               StandardAllocator<unsigned char>::instance());
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
  // A file of 2 GiB or more does not fit the signed 32-bit length.
  ortl::MemoryBuffer<std::uint8_t> buffer;
  if (wanted <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    buffer.resize(static_cast<std::uint32_t>(wanted) + 1, false);
  }
  if (buffer.storage == nullptr) {
    Logger::instance()->log(kCategory, kFunction, kAllocationFailedLine, "Couldn't allocate %ld bytes\n",
                            asLong(wanted + 1));
    return false;
  }
  const auto count = static_cast<std::uint32_t>(wanted);
  buffer.storage[count] = 0;

  std::uint32_t got = 0;
  const platform::FileStatus read = file.read(buffer.storage, count, &got);
  file.close();
  if (read != platform::FileStatus::kOk || got != count) {
    Logger::instance()->log(kCategory, kFunction, kShortReadLine, "Tried to read %ld bytes, got %ld\n",
                            static_cast<long>(count), static_cast<long>(got));
    return false;
  }

  std::uint32_t skip = 0;
  String<char> encoding = chooseEncoding(owner, buffer.storage, count, &skip);
  if (encoding.view().empty()) encoding.assign(detectEncoding(buffer.storage + skip, count - skip, detector));
  const String<unsigned char> decoded = decodeText(encoding, buffer, skip, count);
  buffer.resize(0, false);
  if (decoded.chars == nullptr) return false;
  text->assign(decoded);
  return true;
}

}  // namespace Kelvo
