// subhost: the reference host's command-line program.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "platform/host_process.h"
#include "subhost.h"

int main(int argc, char** argv) {
  std::error_code ignored;
  const Kelvo::subhost::Console console{std::cout,
                                        std::cerr,
                                        Kelvo::platform::standardOutputIsTerminal(),
                                        std::filesystem::path(Kelvo::platform::executablePath()).parent_path(),
                                        std::filesystem::current_path(ignored),
                                        Kelvo::platform::userLocaleName()};
  return Kelvo::subhost::runSubhost(argc, argv, console);
}
