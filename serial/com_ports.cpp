#include "serial/com_ports.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tavrel {

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

std::string ComPortVariableName(std::int32_t port) {
  return "TAVREL_COM" + std::to_string(port);
}

std::string DefaultComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
#ifdef _WIN32
  return "\\\\.\\COM" + std::to_string(port);
#else
  return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

std::string ComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
#ifndef _WIN32
  const std::string name = ComPortVariableName(port);
  if (const char* path = std::getenv(name.c_str()); path != nullptr && *path != '\0') return path;
#endif
  return DefaultComPortDevicePath(port);
}

bool IsSupportedLineRate(std::int32_t baud) {
  return std::find(kLineRates.begin(), kLineRates.end(), baud) != kLineRates.end();
}

}  // namespace tavrel
