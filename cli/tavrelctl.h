// tavrelctl: the scripting front end. Runs one command against a camera (or
// the built-in virtual camera) and reports through its exit status.
#pragma once

#include <ostream>

namespace tavrel::cli {

// Returns the exit status (cli/exit_status.h).
int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tavrel::cli
