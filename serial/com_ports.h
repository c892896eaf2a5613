// What "COM n" means to this program on every platform: the COM numbers the
// camera's line is offered on, their names, the environment variable that
// can lead one to another device, the platform's own device for each, and
// the line rates the camera runs at. Written once here for the link, the
// profile's port assignments, both programs' options and the virtual camera.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
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

// Windows' own names of its serial ports: 12 for "COM12" or "\\.\COM12" (case
// ignored), COM1 to COM256; none for anything else. Ports above COM9 open
// only by the long form, which serves every port.
inline constexpr std::int32_t kLastSystemPort = 256;
std::optional<std::int32_t> ParseSystemPortName(std::string_view text);
// "\\.\COM12" for 12.
std::string SystemPortDevicePath(std::int32_t number);

// A device as the platform opens it: on Windows a port name in either form
// becomes the long one ("COM12" -> "\\.\COM12"); anything else, and every
// name on Linux, stays as it is.
std::string OpenableDevicePath(const std::string& path);

// The platform's own device for COM n: /dev/ttyS<n-1>, or \\.\COMn on
// Windows. Empty for port numbers that name no device (0 and below).
std::string DefaultComPortDevicePath(std::int32_t port);

// Where the device a COM number stands for came from.
enum class ComPortSource { kEnvironment, kProfile, kDefault };

// "environment", "profile" or "default".
const char* ComPortSourceName(ComPortSource source);

struct ComPortDevice {
  std::int32_t port = 0;
  std::string path;  // empty for a number that names no device
  ComPortSource source = ComPortSource::kDefault;
};

// A value looked up by name (an environment variable, a COM port's
// assignment); none when it is not set. Empty values count as not set.
using ComPortLookup = std::function<std::optional<std::string>(const std::string& name)>;

// This process's environment as the COM ports read it: on Windows nothing is
// read, as COM n is the system's own port or the profile's choice there.
ComPortLookup ProcessComPortEnvironment();

// The device COM `port` stands for, in this order: the environment variable
// (ComPortVariableName), the user's assignment (`assigned`, asked by
// ComPortName, for COM1 to COM10 only; may be empty), else the platform's
// own device. The choices are made openable (OpenableDevicePath).
ComPortDevice ResolveComPort(std::int32_t port, const ComPortLookup& environment,
                             const ComPortLookup& assigned);

// The device COM n stands for where no profile is read: $TAVREL_COM<n> when
// it is set (Linux), else the platform's own device.
std::string ComPortDevicePath(std::int32_t port);

// The line rates the camera runs at, in baud, in the order the dialogs offer
// them.
inline constexpr std::array<std::int32_t, 3> kLineRates{9600, 19200, 38400};

bool IsSupportedLineRate(std::int32_t baud);

}  // namespace tavrel
