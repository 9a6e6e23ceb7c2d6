#include <windows.h>

#include <cassert>
#include <string>

#include "platform/dynamic_library.h"

namespace Kelvo::platform {
namespace {

// UTF-8 to UTF-16 for the wide-character loader; empty when the name is not
// valid UTF-8, which then fails to load.
std::wstring widen(const char* text) {
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), count);
  wide.resize(static_cast<std::size_t>(count - 1));
  return wide;
}

}  // namespace

DynamicLibrary DynamicLibrary::load(const char* fileName) {
  if (fileName == nullptr) return DynamicLibrary();
  std::wstring wide = widen(fileName);
  if (wide.empty()) return DynamicLibrary();
  // The loader takes only backslashes as separators in a path.
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return DynamicLibrary(static_cast<void*>(LoadLibraryW(wide.c_str())));
}

void* DynamicLibrary::find(const char* name) const {
  assert(handle != nullptr);
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void DynamicLibrary::unload() {
  if (handle != nullptr) FreeLibrary(static_cast<HMODULE>(handle));
  handle = nullptr;
}

}  // namespace Kelvo::platform
