// The subhost program as a function, so that tests can run it in-process:
// it reads the command line, drives the plug-in module and writes to the
// given streams. See README.md for the commands and options.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace Kelvo::subhost {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool outIsTerminal;                      // play: terminal attributes, or plain text
  std::filesystem::path programDirectory;  // where the module and the logging library are looked for
  std::filesystem::path currentDirectory;  // relative paths are made absolute against it
  std::string localeName;                  // the user's locale, for the default preferred language
};

// Runs one command line; returns the exit status (exit_status.h).
int runSubhost(int argc, const char* const* argv, const Console& console);

}  // namespace Kelvo::subhost
