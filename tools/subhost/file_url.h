// The file URLs by which the reference host names its sources to the plug-in.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Kelvo::subhost {

// `argument` unchanged when it already is a file URL (it starts with
// "file:", in any letter case). Otherwise the file URL of the path: the path
// made absolute against `currentDirectory` and lexically normalised, after
// "file://", with percentEncodePath applied.
std::string toFileUrl(std::string_view argument, const std::filesystem::path& currentDirectory);

// `path` with every byte other than ASCII letters, digits, "-", ".", "_",
// "~", "/" and ":" written as "%XX" (upper-case hexadecimal), and a "/" put
// in front when it does not start with one.
std::string percentEncodePath(std::string_view path);

// Whether `argument` names a file URL rather than a path.
bool isFileUrl(std::string_view argument);

// A path from its UTF-8 text, and back; the host's texts are UTF-8 on every
// platform, whatever the system's own code page.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Path(const std::filesystem::path& path);

}  // namespace Kelvo::subhost
