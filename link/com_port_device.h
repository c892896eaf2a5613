// The device each COM number names on this platform. Apart from the
// platform's serial code, so that code above the link can name ports
// without the platform's headers.
#pragma once

#include <cstdint>
#include <string>

namespace tavrel {

// The device behind "COM n": on Windows \\.\COMn, which also reaches COM10
// and above; elsewhere $TAVREL_COM<n> when set, else /dev/ttyS<n-1>. Empty
// for port numbers that name no device (0 and below).
std::string ComPortDevicePath(std::int32_t port);
// The platform's own name for "COM n", whatever the environment says:
// /dev/ttyS<n-1>, or \\.\COMn on Windows. Empty for 0 and below.
std::string DefaultComPortDevicePath(std::int32_t port);

}  // namespace tavrel
