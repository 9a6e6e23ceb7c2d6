#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cstddef>

#include "platform/file_handle.h"
#include "platform/file_reader.h"

namespace Kelvo::platform {

namespace {

// The one place where errno becomes our status.
FileStatus statusFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileStatus::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileStatus::kAccessDenied;
    case EEXIST:
      return FileStatus::kAlreadyExists;
    case EISDIR:
    case ENXIO:
      return FileStatus::kNotRegularFile;
    default:
      return FileStatus::kFailed;
  }
}

int descriptorOf(std::intptr_t handle) { return static_cast<int>(handle); }

void closeDescriptor(std::intptr_t& handle) {
  // close() is not retried on EINTR: on Linux the descriptor is gone anyway.
  if (handle != -1) ::close(descriptorOf(handle));
  handle = -1;
}

// Opens without blocking, so that a FIFO without a writer cannot stall the
// caller, then keeps the descriptor only for a regular file, storing its size
// in `*size` when asked.
FileStatus openRegularFile(const char* name, int flags, std::intptr_t* handle, std::uint64_t* size) {
  int descriptor = -1;
  do {
    descriptor = ::open(name, flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  } while (descriptor == -1 && errno == EINTR);
  if (descriptor == -1) return statusFromErrno(errno);
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(descriptor);
    return FileStatus::kNotRegularFile;
  }
  // O_NONBLOCK means nothing for a regular file's reads; drop it all the same.
  ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  *handle = descriptor;
  if (size != nullptr) *size = static_cast<std::uint64_t>(info.st_size);
  return FileStatus::kOk;
}

std::optional<std::uint64_t> sizeOf(std::intptr_t handle) {
  struct stat info {};
  if (::fstat(descriptorOf(handle), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

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
  return openRegularFile(name, O_RDONLY, &handle, &fileSize);
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
    const std::size_t asked = std::min<std::size_t>(count - total, SSIZE_MAX);
    const ssize_t read = ::read(descriptorOf(handle), bytes + total, asked);
    if (read > 0) {
      total += static_cast<std::uint32_t>(read);
    } else if (read == 0) {
      break;  // the end of the file
    } else if (errno != EINTR) {
      status = statusFromErrno(errno);
      break;
    }
  }
  *got = total;
  return status;
}

void FileReader::close() { closeDescriptor(handle); }

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
  // Access and creation follow the mode. Sharing has no POSIX equivalent:
  // other openers are never kept out, whatever the mode.
  static constexpr int kFlags[kFileOpenModeCount] = {
      O_RDONLY,                      // kReadExisting
      O_WRONLY | O_CREAT | O_TRUNC,  // kWriteTruncate
      O_WRONLY | O_CREAT | O_EXCL,   // kWriteNew
      O_RDWR | O_CREAT | O_TRUNC,    // kReadWriteTruncate
      O_RDWR | O_CREAT,              // kReadWriteAlways
      O_RDWR | O_CREAT | O_EXCL,     // kReadWriteNew
      O_WRONLY | O_CREAT,            // kWriteAtEnd
      O_RDWR | O_CREAT,              // kReadWriteAtEnd
  };
  const auto index = static_cast<std::uint32_t>(mode);
  assert(index < kFileOpenModeCount);
  const FileStatus status = openRegularFile(name, kFlags[index], &handle, nullptr);
  if (status != FileStatus::kOk) return status;
  if (mode == FileOpenMode::kWriteAtEnd || mode == FileOpenMode::kReadWriteAtEnd) {
    // Moved once, not opened for appending: later writes go where the position is.
    if (::lseek(descriptorOf(handle), 0, SEEK_END) == -1) {
      const int error = errno;
      close();
      return statusFromErrno(error);
    }
  }
  return FileStatus::kOk;
}

std::optional<std::uint64_t> FileHandle::size() const {
  assert(isOpen());
  return sizeOf(handle);
}

void FileHandle::close() { closeDescriptor(handle); }

}  // namespace Kelvo::platform
