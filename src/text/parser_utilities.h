// ParserUtilities: loading a subtitle text file from a local path and decoding
// it to UTF-8, its encoding decided by a signature at its start, by the
// host's code-page settings or by detection. Stateless; any thread may call it.
#pragma once

#include <cstdint>

#include "framework/portable_string.h"
#include "plugin/host_interfaces.h"

namespace Quarnel {
class UCSDetLibrary;
}

namespace Kelvo {

class ParserUtilities {
 public:
  // Reads `length` bytes from the start of the file at `path` (UTF-8, up to
  // its first zero), or the whole file when `length` is -1, decodes them and
  // assigns the UTF-8 text to `*text`; the caller's string keeps its own
  // allocator. The encoding is, in this order: the signature at the file's
  // start when `owner` answers "CodePage"/"OverrideEmbedded" with false; the
  // code page `owner` names in "CodePage"/"Name"; for bytes that are not
  // UTF-8, the code page ICU's charset detector finds with a trusted
  // confidence (see charset_detector.h); otherwise none, and the bytes pass
  // as they are, each ill-formed UTF-8 sequence replaced by U+FFFD.
  // A null `owner` answers no setting. Returns false, with `*text` unchanged,
  // when `text` is null, `length` is below -1, the file is not a regular file
  // that can be opened, it has fewer bytes than asked for or 2 GiB or more,
  // or the text does not begin with a legal UTF-8 character (an empty file, a
  // code page the converter refuses). Throws std::bad_alloc only.
  static bool readTextFile(const String<unsigned char>& path, ContainerOwner* owner, String<unsigned char>* text,
                           std::int32_t length);
  // The same with `detector` in place of the process-wide charset detector,
  // which a null `detector` stands for: the seam for one that is unavailable.
  static bool readTextFile(const String<unsigned char>& path, ContainerOwner* owner, String<unsigned char>* text,
                           std::int32_t length, const Quarnel::UCSDetLibrary* detector);
};

}  // namespace Kelvo
