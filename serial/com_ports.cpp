#include "serial/com_ports.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tavrel {
namespace {

// "COM" (case ignored) and a number from 1 to `last` without leading zeros.
std::optional<std::int32_t> ParseComNumber(std::string_view text, std::int32_t last) {
  if (text.size() < 4 || text.size() > 6) return std::nullopt;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return std::nullopt;
  }
  const std::string_view digits = text.substr(3);
  if (digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::int32_t number = std::stoi(std::string(digits));
  if (number < 1 || number > last) return std::nullopt;
  return number;
}

}  // namespace

std::string ComPortName(std::int32_t port) {
  return "COM" + std::to_string(port);
}

std::optional<std::int32_t> ParseComPortName(std::string_view text) {
  return ParseComNumber(text, kLastComPort);
}

std::string ComPortVariableName(std::int32_t port) {
  return "TAVREL_COM" + std::to_string(port);
}

std::optional<std::int32_t> ParseSystemPortName(std::string_view text) {
  constexpr std::string_view kDevicePrefix = "\\\\.\\";
  if (text.substr(0, kDevicePrefix.size()) == kDevicePrefix)
    text.remove_prefix(kDevicePrefix.size());
  return ParseComNumber(text, kLastSystemPort);
}

std::string SystemPortDevicePath(std::int32_t number) {
  return "\\\\.\\COM" + std::to_string(number);
}

std::string OpenableDevicePath(const std::string& path) {
#ifdef _WIN32
  if (const auto number = ParseSystemPortName(path)) return SystemPortDevicePath(*number);
#endif
  return path;
}

std::string DefaultComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
#ifdef _WIN32
  return SystemPortDevicePath(port);
#else
  return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

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

ComPortLookup ProcessComPortEnvironment() {
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

ComPortDevice ResolveComPort(std::int32_t port, const ComPortLookup& environment,
                             const ComPortLookup& assigned) {
  ComPortDevice device;
  device.port = port;
  if (port <= 0) return device;
  const auto chosen = [](const std::optional<std::string>& value) {
    return value && !value->empty();
  };
  if (auto value = environment ? environment(ComPortVariableName(port)) : std::nullopt;
      chosen(value)) {
    device.path = OpenableDevicePath(*value);
    device.source = ComPortSource::kEnvironment;
    return device;
  }
  if (IsComPortNumber(port) && assigned) {
    if (auto value = assigned(ComPortName(port)); chosen(value)) {
      device.path = OpenableDevicePath(*value);
      device.source = ComPortSource::kProfile;
      return device;
    }
  }
  device.path = DefaultComPortDevicePath(port);
  return device;
}

std::string ComPortDevicePath(std::int32_t port) {
  return ResolveComPort(port, ProcessComPortEnvironment(), {}).path;
}

bool IsSupportedLineRate(std::int32_t baud) {
  return std::find(kLineRates.begin(), kLineRates.end(), baud) != kLineRates.end();
}

}  // namespace tavrel
