// tavrelctl's exit statuses, which scripts test: every subcommand reports
// through these.
#pragma once

namespace tavrel::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitDiffer = 1,     // diff: the settings differ
  kExitNoneFound = 1,  // find: no camera answered
  kExitUsage = 2,
  kExitCamera = 3,    // the link or the camera failed ("ERROR - ..." printed)
  kExitFile = 4,      // a file could not be read or written, or is not a settings file
  kExitInternal = 5,  // the program failed in itself (out of memory, a crash); the reason printed
};

}  // namespace tavrel::cli
