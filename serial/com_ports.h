// What "COM n" means to this program on every platform: the COM numbers the
// camera's line is offered on, their names, the environment variable that
// can lead one to another device, the platform's own device for each, and
// the line rates the camera runs at. Written once here for the link, the
// profile's port assignments, both programs' options and the virtual camera.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// COM1 to COM10.
inline constexpr std::int32_t kFirstComPort = 1;
inline constexpr std::int32_t kLastComPort = 10;

constexpr bool IsComPortNumber(std::int32_t port) {
  return port >= kFirstComPort && port <= kLastComPort;
}

// "COM3" for 3.
std::string ComPortName(std::int32_t port);
// 3 for "COM3" (case ignored); none for anything else and numbers outside
// 1..10.
std::optional<std::int32_t> ParseComPortName(std::string_view text);

// "TAVREL_COM3" for 3: the environment variable that leads COM n to a device
// of the user's choosing (scripts and tests set it). Read on Linux only: on
// Windows COM n is always the system's own port or the profile's choice.
std::string ComPortVariableName(std::int32_t port);

// The platform's own device for COM n: /dev/ttyS<n-1>, or \\.\COMn on
// Windows (a name that reaches COM10 and above too). Empty for port numbers
// that name no device (0 and below).
std::string DefaultComPortDevicePath(std::int32_t port);

// The device COM n stands for where no profile is read: $TAVREL_COM<n> when
// it is set (Linux), else the platform's own device.
std::string ComPortDevicePath(std::int32_t port);

// The line rates the camera runs at, in baud, in the order the dialogs offer
// them.
inline constexpr std::array<std::int32_t, 3> kLineRates{9600, 19200, 38400};

bool IsSupportedLineRate(std::int32_t baud);

}  // namespace tavrel
