// The last handler of tavrelctl: whatever a command throws that nothing
// below caught ends the program with its reason and a status of its own,
// never with an abort and nothing said.
#pragma once

#include <functional>
#include <ostream>

namespace tavrel::cli {

// Runs `command` and returns its exit status; an exception that escapes it
// is reported on `err` ("tavrelctl: internal error: ...") and gives
// kExitInternal.
int RunToTheEnd(const std::function<int()>& command, std::ostream& err);

}  // namespace tavrel::cli
