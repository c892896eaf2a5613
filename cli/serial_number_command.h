// tavrelctl serial-number write DIGITS [--log FILE]: the panel's serial-number
// write for scripts on the production line.
#pragma once

#include <ostream>
#include <string>

#include "model/adjustment_log.h"

namespace CLI {
class App;
}

namespace tavrel {
class CameraUnit;
}

namespace tavrel::cli {

class ConsolePrompt;

struct SerialNumberOptions {
  std::string digits;
  std::string logFile = kAdjustmentLogPath;
};

// Adds "serial-number" with its "write" subcommand to `app` and returns
// "write". The seven digits are checked while the command line is parsed,
// so a bad text is a usage error before anything is opened or sent.
CLI::App* AddSerialNumberCommand(CLI::App& app, SerialNumberOptions& options);

// Checked before the port opens: the adjustment log must be able to take the
// record, or the number would be written without it. Exit status 0, or 4
// with the busy message and the reason printed.
int CheckSerialNumberWrite(CameraUnit& camera, const SerialNumberOptions& options);

// Reads the identification for the model name, unlocks the camera (a failure
// is printed and the write goes on), writes the serial number, stores it in
// the window program's profile and appends the log record. Exit status:
// 0, 3 when the link failed (entries written before it stay written), 4 when
// the log or the profile could not be written after all (the camera holds
// the number).
int RunSerialNumberWrite(CameraUnit& camera, const ConsolePrompt& prompt, std::ostream& err,
                         const SerialNumberOptions& options);

}  // namespace tavrel::cli
