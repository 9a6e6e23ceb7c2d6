#include <shlwapi.h>
#include <windows.h>

#include <string>

#include "platform/file_url.h"

namespace Kelvo::platform {

namespace {

// The path buffer the shell's conversion writes into, terminator included.
constexpr DWORD kPathUnits = 260;

bool toWide(std::string_view text, std::wstring* wide) {
  if (text.empty()) return false;
  const int count =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (count <= 0) return false;
  wide->assign(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide->data(), count);
  return true;
}

bool toUtf8(const wchar_t* wide, std::string* text) {
  const int count = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return false;
  text->assign(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, text->data(), count, nullptr, nullptr);
  text->resize(static_cast<std::size_t>(count - 1));
  return true;
}

}  // namespace

bool fileUrlToPath(std::string_view url, std::string* path) {
  std::wstring wide;
  // The URL is handed on zero-terminated and the path comes back so: a zero
  // inside either, written as is or escaped, would name another file.
  if (url.find('\0') != std::string_view::npos || url.find("%00") != std::string_view::npos || !toWide(url, &wide)) {
    return false;
  }
  wchar_t buffer[kPathUnits] = {};
  DWORD capacity = kPathUnits;
  if (FAILED(PathCreateFromUrlW(wide.c_str(), buffer, &capacity, 0))) return false;
  // "file:a.sub" comes back as a relative path: no file named by the host.
  if (PathIsRelativeW(buffer)) return false;
  std::string decoded;
  if (!toUtf8(buffer, &decoded) || decoded.empty()) return false;
  *path = std::move(decoded);
  return true;
}

}  // namespace Kelvo::platform
