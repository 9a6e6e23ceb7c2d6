// A file opened by name for reading whole: its size, and reading it in one
// full read without newline translation. Only regular files are opened, so a
// pipe or a device can neither block the caller nor be read without end. The
// reader owns its descriptor and closes it when it dies; one thread at a time.
#pragma once

#include <cstdint>

#include "platform/file_status.h"

namespace Kelvo::platform {

class FileReader final {
 public:
  FileReader() = default;
  FileReader(FileReader&& other) noexcept : handle(other.handle), fileSize(other.fileSize) { other.handle = -1; }
  FileReader& operator=(FileReader&& other) noexcept;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  ~FileReader() { close(); }

  // Opens `name` (UTF-8, zero-terminated) read-only, positioned at its start.
  // Anything but a regular file is refused with kNotRegularFile before a byte
  // is read. Requires: !isOpen().
  FileStatus open(const char* name);
  bool isOpen() const { return handle != -1; }

  // The file's size in bytes when it was opened. Requires: isOpen().
  std::uint64_t size() const;

  // Reads `count` bytes from the current position into `buffer`, going on
  // after short reads and interruptions until `count` bytes are in or the
  // file ends. `*got` is the number of bytes read, also on failure.
  // Requires: isOpen().
  FileStatus read(void* buffer, std::uint32_t count, std::uint32_t* got);

  // Closes the file now; isOpen() is false afterwards.
  void close();

 private:
  std::intptr_t handle = -1;  // the platform's descriptor or handle
  std::uint64_t fileSize = 0;
};

}  // namespace Kelvo::platform
