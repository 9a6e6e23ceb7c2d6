// Runs the subhost program in-process through runSubhost, against the built
// module, from the project's folder, and captures what it writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "subhost.h"

namespace Kelvo::testing {

struct SubhostRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline SubhostRun runSubhostWith(const std::vector<std::string>& arguments, bool terminal = false) {
  std::vector<const char*> argv{"subhost"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const subhost::Console console{out, err, terminal, SUB_MODULE_DIR, SUB_PROJECT_DIR, ""};
  SubhostRun run;
  run.status = subhost::runSubhost(static_cast<int>(argv.size()), argv.data(), console);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace Kelvo::testing
