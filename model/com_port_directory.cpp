#include "model/com_port_directory.h"

#include <cstdlib>

#include "model/profile_file.h"

namespace tavrel {

const char* ComPortSourceName(ComPortSource source) {
  switch (source) {
    case ComPortSource::kEnvironment:
      return "environment";
    case ComPortSource::kProfile:
      return "profile";
    case ComPortSource::kDefault:
      break;
  }
  return "default";
}

ComPortDirectory::Environment ComPortDirectory::ProcessEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
#ifdef _WIN32
    static_cast<void>(name);
    return std::nullopt;
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
#endif
  };
}

ComPortDirectory::ComPortDirectory(std::string profilePath, SystemRoots roots,
                                   Environment environment)
    : m_profilePath(std::move(profilePath)),
      m_roots(std::move(roots)),
      m_environment(std::move(environment)) {}

std::string ComPortDirectory::ProfilePath() const {
  return m_profilePath.empty() ? ProfileFilePath() : m_profilePath;
}

ComPortDevice ComPortDirectory::Resolve(std::int32_t port) const {
  ComPortDevice device;
  device.port = port;
  if (port <= 0) return device;
  if (auto value = m_environment(ComPortVariableName(port))) {
    device.path = std::move(*value);
    device.source = ComPortSource::kEnvironment;
    return device;
  }
  if (IsComPortNumber(port)) {
    auto assigned = ReadProfileString(ProfilePath(), kComPortsSection, ComPortName(port));
    if (assigned && !assigned->empty()) {
      device.path = std::move(*assigned);
      device.source = ComPortSource::kProfile;
      return device;
    }
  }
  device.path = DefaultComPortDevicePath(port);
  return device;
}

std::string ComPortDirectory::Assign(std::int32_t port, const std::string& devicePath) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  if (devicePath.empty()) return "no device named";
  if (devicePath.find_first_of("\r\n") != std::string::npos) {
    return "a device path cannot hold a line break";
  }
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port), devicePath);
}

std::string ComPortDirectory::Unassign(std::int32_t port) const {
  if (!IsComPortNumber(port)) return "no such COM port: " + ComPortName(port);
  return WriteProfileString(ProfilePath(), kComPortsSection, ComPortName(port), "");
}

CommPort::ComPortResolver ComPortDirectory::Resolver() const {
  return [directory = *this](std::int32_t port) { return directory.Resolve(port).path; };
}

}  // namespace tavrel
