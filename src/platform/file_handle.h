// A file handle opened in one of eight modes, which fix the access asked for,
// what happens when the file exists or not, and where the position starts.
// Only regular files are opened. The handle owns the open file and closes it
// when it dies; one thread at a time.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/file_status.h"

namespace Kelvo::platform {

// Where the platform shares files, other openers may read the file while it
// is open, and in mode 0 also write it; POSIX keeps no opener out.
enum class FileOpenMode : std::uint32_t {
  kReadExisting = 0,       // read; the file must exist
  kWriteTruncate = 1,      // write; created, or emptied when it exists
  kWriteNew = 2,           // write; created, refused when it exists
  kReadWriteTruncate = 3,  // read and write; created, or emptied when it exists
  kReadWriteAlways = 4,    // read and write; created when missing, kept when it exists
  kReadWriteNew = 5,       // read and write; created, refused when it exists
  kWriteAtEnd = 6,         // write; created when missing, kept; positioned at the end
  kReadWriteAtEnd = 7,     // read and write; created when missing, kept; positioned at the end
};

inline constexpr std::uint32_t kFileOpenModeCount = 8;

class FileHandle final {
 public:
  FileHandle() = default;
  FileHandle(FileHandle&& other) noexcept : handle(other.handle) { other.handle = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { close(); }

  // Opens `name` (UTF-8, zero-terminated) in `mode`; a file that is created
  // gets ordinary attributes. Requires: !isOpen().
  FileStatus open(const char* name, FileOpenMode mode);
  bool isOpen() const { return handle != -1; }

  // The file's size in bytes, without moving the position; nothing when it
  // cannot be told. Requires: isOpen().
  std::optional<std::uint64_t> size() const;

  // Closes the file now; isOpen() is false afterwards.
  void close();

 private:
  std::intptr_t handle = -1;  // the platform's descriptor or handle
};

}  // namespace Kelvo::platform
