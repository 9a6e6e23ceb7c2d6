// How tests name local files to the plug-in: a path's UTF-8 text, and its
// file URL in the form the platform's conversion takes ("file:///tmp/a.sub",
// "file:///C:/Temp/a.sub").
#pragma once

#include <filesystem>
#include <string>

namespace Kelvo::testing {

inline std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Spaces, "%", "#" and "?" are escaped. Other characters, non-ASCII ones
// included, are left as they are: both platforms' conversions take them so.
inline std::string fileUrlOf(const std::filesystem::path& path) {
  const std::u8string generic = std::filesystem::absolute(path).generic_u8string();
  std::string url = "file://";
  if (generic.empty() || generic.front() != u8'/') url += '/';
  for (const char8_t c : generic) {
    switch (c) {
      case u8' ':
        url += "%20";
        break;
      case u8'%':
        url += "%25";
        break;
      case u8'#':
        url += "%23";
        break;
      case u8'?':
        url += "%3F";
        break;
      default:
        url += static_cast<char>(c);
    }
  }
  return url;
}

}  // namespace Kelvo::testing
