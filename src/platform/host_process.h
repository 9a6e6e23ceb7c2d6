// What a host program needs to know about its own process: where its file
// lies (to find the plug-in module and the logging library beside it),
// whether its output goes to a terminal, and the user's locale.
#pragma once

#include <string>

namespace Kelvo::platform {

// The running program's file as an absolute UTF-8 path; empty when the
// system cannot tell.
std::string executablePath();

// Whether standard output is an interactive terminal.
bool standardOutputIsTerminal();

// The user's locale name as the system gives it ("de_AT.UTF-8" on POSIX);
// empty when none is set.
std::string userLocaleName();

}  // namespace Kelvo::platform
