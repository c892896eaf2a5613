// Runs a program as a child process and collects its exit status and output,
// for end-to-end tests of the executables.
#pragma once

#include <string>
#include <vector>

namespace tavrel::testing {

struct ProcessResult {
  int exitStatus = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

// `environment` entries ("NAME=value") are added to the current environment.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {});

}  // namespace tavrel::testing
