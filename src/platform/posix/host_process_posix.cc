#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host_process.h"

namespace Kelvo::platform {

std::string executablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    // A result that fills the buffer may have been cut: try again with more room.
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  // The bytes as given; on POSIX they are the file names' own bytes.
  return std::vector<std::string>(argv, argv + argc);
}

// Nothing to do: POSIX streams and terminals take the bytes as written.
void prepareStandardOutput() {}

bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

std::string userLocaleName() {
  // The message locale, in the order of precedence the C library uses.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return std::string();
}

}  // namespace Kelvo::platform
