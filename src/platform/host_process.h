// What a host program needs to know about its own process: where its file
// lies (to find the plug-in module and the logging library beside it), its
// arguments, whether its output goes to a terminal, and the user's locale.
// Called from the program's main thread.
#pragma once

#include <string>
#include <vector>

namespace Kelvo::platform {

// The running program's file as an absolute UTF-8 path; empty when the
// system cannot tell.
std::string executablePath();

// The program's arguments, its own name first, as UTF-8 texts. `argc` and
// `argv` are main()'s; where they do not carry every character (Windows
// hands main() its arguments in the ANSI code page), the system's own wide
// command line is read instead.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Makes standard output and error carry the program's bytes unchanged (no
// newline translation) and, when standard output is a terminal, makes the
// terminal show them as UTF-8 and obey the colour and bold sequences.
void prepareStandardOutput();

// Whether standard output is an interactive terminal.
bool standardOutputIsTerminal();

// The user's locale name as the system gives it ("de_AT.UTF-8" on POSIX,
// "de-AT" on Windows); empty when none is set.
std::string userLocaleName();

}  // namespace Kelvo::platform
