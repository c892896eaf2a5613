#include "serial/port_scan.h"

namespace tavrel {

// Windows names its ports COM1, COM2...: there is no device tree to read
// them from here, and nothing is said about who has a port open.

std::vector<SerialDevice> DetectSerialDevices(const SystemRoots&) {
  return {};
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>&, const std::string&,
                                     const SystemRoots&) {
  return nullptr;
}

std::string DeviceBehindLink(const std::string&) {
  return {};
}

std::vector<DeviceAccess> ProbeDevices(const std::vector<std::string>& paths, const SystemRoots&) {
  return std::vector<DeviceAccess>(paths.size());
}

std::string DeviceGroupName(const std::string&) {
  return {};
}

}  // namespace tavrel
