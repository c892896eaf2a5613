// Which device each COM number stands for, and the user's own choices. In
// this order: the environment variable TAVREL_COM<n> (scripts and tests set
// it; Linux only, as the link reads it), the user's assignment in the
// profile (section "COM Ports", "COM1=/dev/serial/by-id/..."), else the
// platform's own name (/dev/ttyS<n-1>). The window program and tavrelctl
// resolve and assign through this one object; what COM n and its names are
// is serial/com_ports.h's.
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

enum class ComPortSource { kEnvironment, kProfile, kDefault };

// "environment", "profile" or "default".
const char* ComPortSourceName(ComPortSource source);

struct ComPortDevice {
  std::int32_t port = 0;
  std::string path;  // empty for a number that names no device
  ComPortSource source = ComPortSource::kDefault;
};

class ComPortDirectory {
 public:
  // The value of an environment variable; none when it is not set.
  using Environment = std::function<std::optional<std::string>(const std::string& name)>;
  // This process's environment (on Windows none: COM n is always \\.\COMn
  // or the profile's choice there).
  static Environment ProcessEnvironment();

  // `profilePath` empty: the user's profile, ProfileFilePath() at each use.
  explicit ComPortDirectory(std::string profilePath = {}, SystemRoots roots = {},
                            Environment environment = ProcessEnvironment());

  ComPortDevice Resolve(std::int32_t port) const;
  // Sets COM `port` to `devicePath` in the profile; the rest of the file
  // keeps its bytes. Returns the reason it failed, or an empty text.
  std::string Assign(std::int32_t port, const std::string& devicePath) const;
  // Takes the assignment out again: COM `port` is the default once more.
  std::string Unassign(std::int32_t port) const;

  std::vector<SerialDevice> DetectDevices() const { return DetectSerialDevices(m_roots); }
  const SystemRoots& Roots() const { return m_roots; }
  std::string ProfilePath() const;

  // Resolve's path, for CommPort::SetComPortResolver (holds a copy of this).
  CommPort::ComPortResolver Resolver() const;

 private:
  std::string m_profilePath;
  SystemRoots m_roots;
  Environment m_environment;
};

}  // namespace tavrel
