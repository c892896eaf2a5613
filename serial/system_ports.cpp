#include "serial/system_ports.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "serial/com_ports.h"

namespace tavrel {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The four hexadecimal digits after `key` ("VID_") in `id`, or empty.
std::string HexAfter(const std::string& id, const std::string& key) {
  const std::size_t at = Upper(id).find(key);
  if (at == std::string::npos || at + key.size() + 4 > id.size()) return {};
  const std::string digits = id.substr(at + key.size(), 4);
  const bool hex = std::all_of(digits.begin(), digits.end(),
                               [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
  return hex ? Lower(digits) : std::string();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// "USB Serial Port (COM12)" -> "USB Serial Port".
std::string WithoutPortName(std::string name, const std::string& port) {
  const std::string suffix = " (" + port + ")";
  if (name.size() > suffix.size() &&
      Upper(name.substr(name.size() - suffix.size())) == Upper(suffix)) {
    name.erase(name.size() - suffix.size());
  }
  return name;
}

}  // namespace

std::string UsbIdFromDeviceId(const std::string& id) {
  const std::string vendor = HexAfter(id, "VID_");
  const std::string product = HexAfter(id, "PID_");
  return vendor.empty() || product.empty() ? std::string() : vendor + ":" + product;
}

std::string SerialNumberFromInstanceId(const std::string& id) {
  const std::vector<std::string> parts = Split(id, '\\');
  if (parts.size() != 3) return {};
  const std::string bus = Upper(parts[0]);
  if (bus == "USB") {
    return parts[2].find('&') == std::string::npos ? parts[2] : std::string();
  }
  if (bus == "FTDIBUS") {
    const std::vector<std::string> fields = Split(parts[1], '+');
    return fields.size() == 3 ? fields[2] : std::string();
  }
  return {};
}

std::vector<SerialDevice> DescribeSystemPorts(const std::vector<RegisteredPort>& registered,
                                              const std::vector<PortDeviceEntry>& entries) {
  std::map<std::int32_t, SerialDevice> byNumber;
  for (const RegisteredPort& port : registered) {
    const std::optional<std::int32_t> number = ParseSystemPortName(port.portName);
    if (!number || byNumber.count(*number) != 0) continue;
    SerialDevice device;
    device.name = ComPortName(*number);
    device.path = SystemPortDevicePath(*number);
    const std::size_t slash = port.kernelName.find_last_of('\\');
    device.driver =
        slash == std::string::npos ? port.kernelName : port.kernelName.substr(slash + 1);
    byNumber.emplace(*number, std::move(device));
  }
  for (const PortDeviceEntry& entry : entries) {
    const std::optional<std::int32_t> number = ParseSystemPortName(entry.portName);
    if (!number) continue;
    const auto found = byNumber.find(*number);
    if (found == byNumber.end()) continue;
    SerialDevice& device = found->second;
    device.description = WithoutPortName(entry.friendlyName, device.name);
    if (!entry.service.empty()) device.driver = entry.service;
    device.usbId = UsbIdFromDeviceId(entry.hardwareId);
    if (device.usbId.empty()) device.usbId = UsbIdFromDeviceId(entry.instanceId);
    if (!device.usbId.empty()) device.serialNumber = SerialNumberFromInstanceId(entry.instanceId);
  }
  std::vector<SerialDevice> devices;
  for (auto& [number, device] : byNumber) devices.push_back(std::move(device));
  return devices;
}

}  // namespace tavrel
