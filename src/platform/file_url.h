// Turning a file URL into a local path: the platform's own conversion, or,
// where there is none, a decoder of our own with the same contract. Stateless;
// any thread may call it.
#pragma once

#include <string>
#include <string_view>

namespace Kelvo::platform {

// Converts the file URL `url` (UTF-8) into a local path, stored in `*path` as
// bytes (UTF-8 where the URL's escapes encode UTF-8). Returns false, leaving
// `*path` as it was, for any URL that does not name a local file by an
// absolute path, for an escape that is malformed or encodes a zero byte, and
// for a path longer than the platform allows. Windows' own conversion also
// takes the files of other hosts ("file://server/share/a.sub" gives
// "\\server\share\a.sub"); POSIX refuses any host but "localhost".
bool fileUrlToPath(std::string_view url, std::string* path);

}  // namespace Kelvo::platform
