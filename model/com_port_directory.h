// Which device each COM number stands for, and the user's own choices. The
// order (the environment variable TAVREL_COM<n> on Linux, the user's
// assignment, the platform's own device) is serial/com_ports.h's; this
// object adds the profile, where the assignments are kept (section "COM
// Ports", "COM1=/dev/serial/by-id/..." or "COM1=\\.\COM12"), and the serial
// ports the machine has. The window program and tavrelctl resolve and assign
// through this one object.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "serial/com_ports.h"
#include "serial/port_scan.h"

namespace tavrel {

inline constexpr char kComPortsSection[] = "COM Ports";

class ComPortDirectory {
 public:
  // The value of an environment variable; none when it is not set.
  using Environment = ComPortLookup;
  static Environment ProcessEnvironment() { return ProcessComPortEnvironment(); }
  // The serial ports the machine has (tests give their own).
  using DeviceScan = std::function<std::vector<SerialDevice>(const SystemRoots& roots)>;

  // `profilePath` empty: the user's profile, ProfileFilePath() at each use.
  explicit ComPortDirectory(std::string profilePath = {}, SystemRoots roots = {},
                            Environment environment = ProcessEnvironment(),
                            DeviceScan scan = DetectSerialDevices);

  ComPortDevice Resolve(std::int32_t port) const;
  // Why `devicePath` cannot stand for a COM port: empty, a line break, or
  // what can never be a serial line (a directory, a regular file, a FIFO,
  // /dev/null...). Empty when it can; a path that names nothing yet can (an
  // adapter may be unplugged).
  std::string RefuseDevicePath(const std::string& devicePath) const;
  // The path as the profile keeps it: a relative one made absolute from the
  // working folder (a program started from the desktop runs elsewhere),
  // links left as named. On Windows a port name in its long form ("COM12"
  // is kept as "\\.\COM12"), any other name as given.
  static std::string StoredDevicePath(const std::string& devicePath);
  // Sets COM `port` to StoredDevicePath(`devicePath`) in the profile; the
  // rest of the file keeps its bytes. Returns the reason it was refused
  // (RefuseDevicePath) or failed, or an empty text.
  std::string Assign(std::int32_t port, const std::string& devicePath) const;
  // Takes the assignment out again: COM `port` is the default once more.
  std::string Unassign(std::int32_t port) const;

  std::vector<SerialDevice> DetectDevices() const { return m_scan(m_roots); }
  const SystemRoots& Roots() const { return m_roots; }
  std::string ProfilePath() const;

  // Resolve's path, for CommPort::SetComPortResolver (holds a copy of this).
  CommPort::ComPortResolver Resolver() const;

 private:
  std::string m_profilePath;
  SystemRoots m_roots;
  Environment m_environment;
  DeviceScan m_scan;
};

}  // namespace tavrel
