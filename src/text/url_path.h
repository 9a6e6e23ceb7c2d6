// Turning the host's source URL into a local file path.
#pragma once

#include "framework/portable_string.h"
#include "plugin/status.h"

namespace Kelvo {

// Converts the file URL `url` (UTF-8, up to its first zero; a leading
// byte-order mark is ignored) into a local path in UTF-8 and assigns it to
// `*path`. Returns kStatusOk, or kStatusBadUrl with `*path` unchanged when the
// URL is not valid UTF-8, does not name a local file by an absolute path,
// has a malformed escape, encodes a zero byte or bytes that are not UTF-8, or
// gives a path longer than the platform allows.
Status urlToPath(const String<unsigned char>& url, String<unsigned char>* path);

}  // namespace Kelvo
