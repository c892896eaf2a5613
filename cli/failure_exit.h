// How tavrelctl ends when something goes wrong outside its commands: an
// exception that escapes a command, the runtime's terminate or abort, or (on
// Windows) a crash. Each says why on stderr and ends with a status of
// cli/exit_status.h; none ends silently, and none with a number a script
// would read as something else (the Windows runtime's abort ends with 3, the
// status of a camera failure).
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace tavrel::cli {

// Runs `run` and returns its status; an exception escaping it is printed as
// "tavrelctl: REASON" and ends with kExitFile for a file or stream the system
// failed, otherwise kExitInternal.
int RunReportingFailures(const std::function<int()>& run, std::ostream& err);

// "tavrelctl: unexpected failure", with the reason of the exception being
// handled where there is one, and a line end.
std::string UnexpectedFailureText();

// From here on, the runtime's terminate, abort and (on Windows) a crash print
// their reason and end the program with kExitInternal.
void InstallFailureExits();

}  // namespace tavrel::cli
