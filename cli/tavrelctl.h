// tavrelctl: the scripting front end. Runs one command against a camera (or
// the built-in virtual camera) and reports through its exit status.
#pragma once

#include <ostream>

namespace tavrel::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitUsage = 2,
  kExitCamera = 3,  // the link or the camera failed ("ERROR - ..." printed)
  kExitFile = 4,    // a file could not be read or written, or is not a settings file
};

int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tavrel::cli
