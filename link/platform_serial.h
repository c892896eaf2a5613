// The COM-port carrier of the platform being built for.
#pragma once

#include <cstdint>
#include <string>

#include "link/com_port_device.h"

#ifdef _WIN32
#include "link/win32_serial.h"
namespace tavrel {
using PlatformSerial = Win32Serial;
}
#else
#include "link/posix_serial.h"
namespace tavrel {
using PlatformSerial = PosixSerial;
}
#endif

namespace tavrel {

// Whether `baud` is a rate the line can be set to.
bool IsSupportedBaudRate(std::int32_t baud);

}  // namespace tavrel
