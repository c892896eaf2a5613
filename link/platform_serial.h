// The COM-port carrier of the platform being built for.
#pragma once

#include <cstdint>
#include <string>

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

// The device behind "COM n": on Windows \\.\COMn, which also reaches COM10
// and above; elsewhere $TAVREL_COM<n> when set, else /dev/ttyS<n-1>. Empty
// for port numbers that name no device (0 and below).
std::string ComPortDevicePath(std::int32_t port);
// The platform's own name for "COM n", whatever the environment says:
// /dev/ttyS<n-1>, or \\.\COMn on Windows. Empty for 0 and below.
std::string DefaultComPortDevicePath(std::int32_t port);

// Whether `baud` is a rate the line can be set to.
bool IsSupportedBaudRate(std::int32_t baud);

}  // namespace tavrel
