#include "model/com_port_directory.h"

#include <filesystem>

#include "model/profile_file.h"
#include "serial/serial_line_check.h"

namespace tavrel {

ComPortDirectory::ComPortDirectory(std::string profilePath, SystemRoots roots,
                                   Environment environment, DeviceScan scan)
    : m_profilePath(std::move(profilePath)),
      m_roots(std::move(roots)),
      m_environment(std::move(environment)),
      m_scan(std::move(scan)) {}

std::string ComPortDirectory::ProfilePath() const {
  return m_profilePath.empty() ? ProfileFilePath() : m_profilePath;
}

ComPortDevice ComPortDirectory::Resolve(std::int32_t port) const {
  const std::string profile = ProfilePath();
  return ResolveComPort(port, m_environment, [&profile](const std::string& name) {
    return ReadProfileString(profile, kComPortsSection, name);
  });
}

std::string ComPortDirectory::RefuseDevicePath(const std::string& devicePath) const {
  if (devicePath.empty()) return "no device named";
  if (devicePath.find_first_of("\r\n") != std::string::npos) {
    return "a device path cannot hold a line break";
  }
  return WhyNotASerialLine(devicePath, m_roots);
}

std::string ComPortDirectory::StoredDevicePath(const std::string& devicePath) {
#ifdef _WIN32
  return OpenableDevicePath(devicePath);
#else
  // A port of Windows' own namespace ("\\.\COM12", as a shared list of
  // ports names it) is no file path to complete.
  if (devicePath.rfind("\\\\.\\", 0) == 0) return devicePath;
  if (std::filesystem::path(devicePath).is_absolute()) return devicePath;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(devicePath, error);
  return error ? devicePath : absolute.lexically_normal().string();
#endif
}

std::string ComPortDirectory::Assign(std::int32_t port, const std::string& devicePath) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  if (std::string refused = RefuseDevicePath(devicePath); !refused.empty()) return refused;
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port),
                            StoredDevicePath(devicePath));
}

std::string ComPortDirectory::Unassign(std::int32_t port) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port), "");
}

CommPort::ComPortResolver ComPortDirectory::Resolver() const {
  return [directory = *this](std::int32_t port) { return directory.Resolve(port).path; };
}

}  // namespace tavrel
