// The COM-port carrier of the platform being built for.
#pragma once

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
