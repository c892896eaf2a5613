// tavrelctl's exit statuses, which scripts test: every subcommand reports
// through these.
#pragma once

namespace tavrel::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitUsage = 2,
  kExitCamera = 3,     // the link or the camera failed ("ERROR - ..." printed)
  kExitFile = 4,       // a file could not be read or written, or is not a settings file
  kExitInternal = 70,  // a fault of tavrelctl itself (the reason printed), as sysexits' EX_SOFTWARE
};

}  // namespace tavrel::cli
