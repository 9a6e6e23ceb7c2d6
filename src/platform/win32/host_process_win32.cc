// clang-format off
#include <windows.h>  // first: <shellapi.h> needs its types
// clang-format on
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/host_process.h"

namespace Kelvo::platform {

namespace {

// UTF-16 to UTF-8; empty for text that is not valid UTF-16.
std::string narrow(const wchar_t* wide, int count) {
  if (count <= 0) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, count, text.data(), size, nullptr, nullptr);
  return text;
}

std::string narrow(const wchar_t* wide) { return narrow(wide, static_cast<int>(wcslen(wide))); }

// Whether `output` is a console; its mode is stored in `*mode`.
bool consoleMode(HANDLE output, DWORD* mode) {
  return output != INVALID_HANDLE_VALUE && output != nullptr && GetConsoleMode(output, mode) != 0;
}

}  // namespace

std::string executablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    // A result that fills the buffer has been cut: try again with more room.
    if (length < buffer.size()) return narrow(buffer.data(), static_cast<int>(length));
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(narrow(wide[i]));
  LocalFree(wide);
  return arguments;
}

void prepareStandardOutput() {
  // The same bytes as on every platform: "\n" stays "\n".
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!consoleMode(output, &mode)) return;
  SetConsoleOutputCP(CP_UTF8);
  // Older consoles refuse the escape sequences; they then show them as text.
  SetConsoleMode(output, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool standardOutputIsTerminal() {
  DWORD mode = 0;
  return consoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
}

std::string userLocaleName() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) <= 0) return std::string();
  return narrow(name);
}

}  // namespace Kelvo::platform
