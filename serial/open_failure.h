// Why a serial device did not open, in the user's terms, for the error box
// and tavrelctl: the system's reason, then one hint at what to do.
#pragma once

#include <string>

#include "serial/port_scan.h"
#include "serial/terminal.h"

namespace tavrel {

// Lines separated by "\n": the reason ("/dev/ttyUSB0: Permission denied"),
// then, where the reason has one, a hint: the group to join for a device the
// user may not open; the process holding a busy device, where it can be
// seen; the serial ports there are for a device that is not there. Empty
// when nothing failed (errorNumber 0), and on Windows, whose reasons are the
// port's own.
std::string ExplainDeviceOpenFailure(const OpenFailure& failure, const SystemRoots& roots = {});

}  // namespace tavrel
