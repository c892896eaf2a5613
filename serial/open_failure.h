// Why a serial device did not open, in the user's terms, for the error box
// and tavrelctl: the system's reason, then one hint at what to do.
#pragma once

#include <string>

#include "serial/port_scan.h"
#include "serial/terminal.h"

namespace tavrel {

// Lines separated by "\n": the reason ("/dev/ttyUSB0: Permission denied",
// "\\.\COM12: Access is denied."), then, where the reason has one, a hint:
// the group to join for a device the user may not open, where that group may
// read and write it (else who may, and what else helps); the process holding
// a busy device, where it can be seen (on Windows only that another program
// has it); the serial ports there are for a device that is not there. Empty
// when nothing failed (errorNumber 0).
std::string ExplainDeviceOpenFailure(const OpenFailure& failure, const SystemRoots& roots = {});

// "Serial ports found: COM1, COM12 (USB Serial Port)." or that there are
// none: the hint for a device that is not there.
std::string FoundPortsHint(const SystemRoots& roots = {});

}  // namespace tavrel
