#include "model/com_port_directory.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "link/com_port_device.h"
#include "model/profile_file.h"

namespace tavrel {
namespace {

bool IsComPortNumber(std::int32_t port) {
  return port >= kFirstComPort && port <= kLastComPort;
}

}  // namespace

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

std::string DeviceBehindLink(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (path.empty() || !fs::is_symlink(path, error)) return {};
  const fs::path device = fs::canonical(path, error);
  return error ? std::string() : device.string();
}

std::string ComPortName(std::int32_t port) {
  return "COM" + std::to_string(port);
}

std::optional<std::int32_t> ParseComPortName(std::string_view text) {
  if (text.size() < 4 || text.size() > 5) return std::nullopt;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return std::nullopt;
  }
  const std::string_view digits = text.substr(3);
  if (digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::int32_t port = std::stoi(std::string(digits));
  if (!IsComPortNumber(port)) return std::nullopt;
  return port;
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
  if (auto value = m_environment("TAVREL_COM" + std::to_string(port))) {
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
