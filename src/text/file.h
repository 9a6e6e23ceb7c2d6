// File: a small owner of one platform file handle, opened by a UTF-16 name in
// one of eight modes (platform/file_handle.h), used to measure a source's
// size. The handle is closed when the File dies. One thread at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/portable_string.h"

#include "platform/file_handle.h"
#include "plugin/status.h"

namespace Kelvo {

class File {
 public:
  // Results of open().
  static constexpr Status kOpened = 0;
  static constexpr Status kAlreadyOpen = 1;  // nothing was done
  static constexpr Status kRefused = 2;      // the platform refused the name or the mode
  static constexpr Status kBadMode = 3;      // the mode is above 7
  // What getSize() answers when no file is open.
  static constexpr std::uint64_t kUnknownSize = 4;

  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  // Closes the handle if one is open.
  virtual ~File() = default;

  // Opens the file called `name` in `mode` (0 to 7, the values of
  // platform::FileOpenMode). A name that holds a 0 unit or an unpaired high
  // surrogate is refused. Never throws but for running out of memory.
  Status open(std::u16string name, std::uint32_t mode);

  // The open file's size in bytes; the position is not moved. kUnknownSize
  // when no file is open or the size cannot be told.
  std::uint64_t getSize();

  platform::FileHandle handle;
};

// The size in bytes of the existing file at `utf8Path` (opened for reading),
// or nothing when it cannot be opened or measured.
std::optional<std::uint64_t> sizeOfFile(const String<unsigned char>& utf8Path);

}  // namespace Kelvo
