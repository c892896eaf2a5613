#include "serial/open_failure.h"

#include <vector>

#include "serial/com_ports.h"

namespace tavrel {

std::string FoundPortsHint(const SystemRoots& roots) {
  const std::vector<SerialDevice> devices = DetectSerialDevices(roots);
  if (devices.empty()) return "No serial ports were found on this computer.";
  std::string list;
  for (const SerialDevice& device : devices) {
    // A Windows port by the name its user knows (COM12); a Linux device by
    // the name to assign, with its kernel name where that differs.
    const bool systemPort = ParseSystemPortName(device.path).has_value();
    std::vector<std::string> notes;
    if (!systemPort && (device.StablePath() != device.path || !device.description.empty())) {
      notes.push_back(device.name);
    }
    if (!device.description.empty()) notes.push_back(device.description);
    list += (list.empty() ? "" : ", ") + device.UserName();
    for (std::size_t i = 0; i < notes.size(); ++i) {
      list += (i == 0 ? " (" : ", ") + notes[i] + (i + 1 == notes.size() ? ")" : "");
    }
  }
  return "Serial ports found: " + list + ".";
}

}  // namespace tavrel
