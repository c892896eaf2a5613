#include "model/com_port_directory.h"

#include "model/profile_file.h"

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

std::string ComPortDirectory::Assign(std::int32_t port, const std::string& devicePath) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  if (devicePath.empty()) return "no device named";
  if (devicePath.find_first_of("\r\n") != std::string::npos) {
    return "a device path cannot hold a line break";
  }
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port),
                            OpenableDevicePath(devicePath));
}

std::string ComPortDirectory::Unassign(std::int32_t port) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port), "");
}

CommPort::ComPortResolver ComPortDirectory::Resolver() const {
  return [directory = *this](std::int32_t port) { return directory.Resolve(port).path; };
}

}  // namespace tavrel
