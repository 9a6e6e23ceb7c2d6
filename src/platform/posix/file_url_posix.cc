#include <climits>
#include <cstddef>
#include <optional>
#include <utility>

#include "platform/file_url.h"

namespace Kelvo::platform {

namespace {

// POSIX has no file-URL conversion of its own, so this decoder takes its
// place. It accepts exactly "file:///abs/path" and "file://localhost/abs/path"
// (scheme and host in any case) and percent-decodes the path.

constexpr std::string_view kScheme = "file://";
constexpr std::string_view kLocalHost = "localhost";
// The longest path the system takes, without its terminator.
constexpr std::size_t kMaxPathLength = PATH_MAX - 1;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::optional<int> hexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return std::nullopt;
}

// The URL's path part, which starts with "/", or nothing when the URL names
// another scheme, another host, or no absolute path.
std::optional<std::string_view> pathPart(std::string_view url) {
  if (!startsWithIgnoringCase(url, kScheme)) return std::nullopt;
  url.remove_prefix(kScheme.size());
  if (startsWithIgnoringCase(url, kLocalHost)) url.remove_prefix(kLocalHost.size());
  if (url.empty() || url.front() != '/') return std::nullopt;
  return url;
}

}  // namespace

bool fileUrlToPath(std::string_view url, std::string* path) {
  const std::optional<std::string_view> encoded = pathPart(url);
  if (!encoded) return false;
  std::string decoded;
  decoded.reserve(encoded->size());
  for (std::size_t i = 0; i < encoded->size(); ++i) {
    const char c = (*encoded)[i];
    // A local file's URL has no query and no fragment: such a character in
    // a file name must come escaped.
    if (c == '?' || c == '#') return false;
    if (c != '%') {
      decoded.push_back(c);
      continue;
    }
    if (i + 2 >= encoded->size()) return false;  // an escape cut off by the end
    const std::optional<int> high = hexValue((*encoded)[i + 1]);
    const std::optional<int> low = hexValue((*encoded)[i + 2]);
    if (!high || !low) return false;
    const int value = *high * 16 + *low;
    if (value == 0) return false;  // a zero byte would cut the path short
    decoded.push_back(static_cast<char>(value));
    i += 2;
  }
  if (decoded.size() > kMaxPathLength) return false;
  *path = std::move(decoded);
  return true;
}

}  // namespace Kelvo::platform
