// subhost: the reference host's command-line program.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "file_url.h"
#include "platform/host_process.h"
#include "subhost.h"

int main(int argc, char** argv) {
  Kelvo::platform::prepareStandardOutput();
  const std::vector<std::string> arguments = Kelvo::platform::commandLineArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  const std::string program = Kelvo::platform::executablePath();
  std::error_code ignored;
  const Kelvo::subhost::Console console{std::cout,
                                        std::cerr,
                                        Kelvo::platform::standardOutputIsTerminal(),
                                        Kelvo::subhost::pathFromUtf8(program).parent_path(),
                                        std::filesystem::current_path(ignored),
                                        Kelvo::platform::userLocaleName()};
  return Kelvo::subhost::runSubhost(static_cast<int>(pointers.size()), pointers.data(), console);
}
