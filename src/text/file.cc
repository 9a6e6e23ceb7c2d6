#include "text/file.h"

#include "text/encoding.h"

namespace Kelvo {

Status File::open(std::u16string name, std::uint32_t mode) {
  if (handle.isOpen()) return kAlreadyOpen;
  if (mode >= platform::kFileOpenModeCount) return kBadMode;
  // The platform takes a zero-terminated name: an embedded 0 would name
  // another file.
  if (name.find(u'\0') != std::u16string::npos) return kRefused;
  const std::string narrow = toNarrowString(name);
  if (narrow.empty()) return kRefused;
  const platform::FileStatus status = handle.open(narrow.c_str(), static_cast<platform::FileOpenMode>(mode));
  return status == platform::FileStatus::kOk ? kOpened : kRefused;
}

std::uint64_t File::getSize() {
  if (!handle.isOpen()) return kUnknownSize;
  return handle.size().value_or(kUnknownSize);
}

std::optional<std::uint64_t> sizeOfFile(const String<unsigned char>& utf8Path) {
  File file;
  if (file.open(toWideString(utf8Path.toStdString()), 0) != File::kOpened) return std::nullopt;
  return file.handle.size();
}

}  // namespace Kelvo
