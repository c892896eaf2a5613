// Why a COM port's device did not open, in the user's terms, for the error
// box and tavrelctl: the system's reason, then one hint at what to do.
#pragma once

#include <string>

#include "link/comm_port.h"
#include "model/serial_devices.h"

namespace tavrel {

// Lines separated by "\n": the reason ("/dev/ttyUSB0: Permission denied"),
// then, where the reason has one, a hint: the group to join for a device the
// user may not open; the process holding a busy device, where it can be
// seen; the serial ports there are for a device that is not there. Empty
// when the last open did not fail on a device, and on Windows, whose
// reasons are the port's own.
std::string ExplainDeviceOpenFailure(const CommPort::DeviceOpenFailure& failure,
                                     const SystemRoots& roots = {});

}  // namespace tavrel
