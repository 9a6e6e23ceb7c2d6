#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cassert>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <string>

#include "platform/file_handle.h"
#include "platform/file_reader.h"

namespace Kelvo::platform {

namespace {

// The one place where the system's error codes become our status (the run
// time's file functions report theirs through _doserrno).
FileStatus statusFromError(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return FileStatus::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return FileStatus::kAccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileStatus::kAlreadyExists;
    default:
      return FileStatus::kFailed;
  }
}

// UTF-8 to UTF-16 for the wide-character file functions; nothing when the
// name is not valid UTF-8.
bool widen(const char* text, std::wstring* wide) {
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (count <= 0) return false;
  wide->assign(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide->data(), count);
  wide->resize(static_cast<std::size_t>(count - 1));
  return true;
}

// Only regular files on a disk are read: a folder is refused by name before
// it is opened; a device or a pipe after, by the kind of its handle.
bool namesFolder(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

std::optional<std::uint64_t> sizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

FileReader& FileReader::operator=(FileReader&& other) noexcept {
  if (this != &other) {
    close();
    handle = other.handle;
    fileSize = other.fileSize;
    other.handle = -1;
  }
  return *this;
}

FileStatus FileReader::open(const char* name) {
  assert(!isOpen());
  std::wstring wide;
  if (!widen(name, &wide)) return FileStatus::kNotFound;
  if (namesFolder(wide)) return FileStatus::kNotRegularFile;
  // Read-only and binary: no newline translation.
  const int descriptor = _wopen(wide.c_str(), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) return statusFromError(_doserrno);
  const HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  const std::optional<std::uint64_t> size = isDiskFile(file) ? sizeOf(file) : std::nullopt;
  if (!size) {
    _close(descriptor);
    return FileStatus::kNotRegularFile;
  }
  handle = descriptor;
  fileSize = *size;
  return FileStatus::kOk;
}

std::uint64_t FileReader::size() const {
  assert(isOpen());
  return fileSize;
}

FileStatus FileReader::read(void* buffer, std::uint32_t count, std::uint32_t* got) {
  assert(isOpen());
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::uint32_t total = 0;
  FileStatus status = FileStatus::kOk;
  while (total < count) {
    // _read takes at most INT_MAX bytes a call.
    const unsigned int asked = count - total > 0x7FFFFFFFu ? 0x7FFFFFFFu : count - total;
    const int read = _read(static_cast<int>(handle), bytes + total, asked);
    if (read > 0) {
      total += static_cast<std::uint32_t>(read);
    } else if (read == 0) {
      break;  // the end of the file
    } else {
      status = statusFromError(_doserrno);
      break;
    }
  }
  *got = total;
  return status;
}

void FileReader::close() {
  if (handle != -1) _close(static_cast<int>(handle));
  handle = -1;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    handle = other.handle;
    other.handle = -1;
  }
  return *this;
}

FileStatus FileHandle::open(const char* name, FileOpenMode mode) {
  assert(!isOpen());
  struct Choice {
    DWORD access;
    DWORD sharing;
    DWORD disposition;
  };
  static constexpr Choice kChoices[kFileOpenModeCount] = {
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING},  // kReadExisting
      {GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},                     // kWriteTruncate
      {GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW},                        // kWriteNew
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},      // kReadWriteTruncate
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS},        // kReadWriteAlways
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW},         // kReadWriteNew
      {GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS},                       // kWriteAtEnd
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS},        // kReadWriteAtEnd
  };
  const auto index = static_cast<std::uint32_t>(mode);
  assert(index < kFileOpenModeCount);
  std::wstring wide;
  if (!widen(name, &wide)) return FileStatus::kNotFound;
  if (namesFolder(wide)) return FileStatus::kNotRegularFile;
  const Choice& choice = kChoices[index];
  const HANDLE file = CreateFileW(wide.c_str(), choice.access, choice.sharing, nullptr, choice.disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return statusFromError(GetLastError());
  if (!isDiskFile(file)) {
    CloseHandle(file);
    return FileStatus::kNotRegularFile;
  }
  if (mode == FileOpenMode::kWriteAtEnd || mode == FileOpenMode::kReadWriteAtEnd) {
    LONG high = 0;
    if (SetFilePointer(file, 0, &high, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return statusFromError(error);
    }
  }
  handle = reinterpret_cast<std::intptr_t>(file);
  return FileStatus::kOk;
}

std::optional<std::uint64_t> FileHandle::size() const {
  assert(isOpen());
  return sizeOf(handleOf(handle));
}

void FileHandle::close() {
  if (handle != -1) CloseHandle(handleOf(handle));
  handle = -1;
}

}  // namespace Kelvo::platform
