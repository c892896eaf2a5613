#include "serial/open_failure.h"

#include <cerrno>
#include <vector>

namespace tavrel {
namespace {

std::string PermissionHint(const std::string& path) {
  const std::string group = DeviceGroupName(path);
  if (group.empty()) return {};
  if (group == "root") return "Only root may open it: ask the administrator for access.";
  return "Its users are the group " + group + ": join it with \"sudo usermod -aG " + group +
         " $USER\", then log in again.";
}

std::string BusyHint(const std::string& path, const SystemRoots& roots) {
  const std::vector<DeviceAccess> access = ProbeDevices({path}, roots);
  const std::vector<FileHolder>& holders = access.front().holders;
  // The same words for every user; the holder where this user can see it.
  if (holders.empty()) {
    return "Another program has it open (\"sudo fuser -v " + path + "\" tells which).";
  }
  std::string list;
  for (const FileHolder& holder : holders) {
    list += (list.empty() ? "" : ", ") + std::to_string(holder.pid) + " (" + holder.command + ")";
  }
  return (holders.size() == 1 ? "Another program has it open: process "
                              : "Another program has it open: processes ") +
         list + ".";
}

std::string MissingHint(const SystemRoots& roots) {
  const std::vector<SerialDevice> devices = DetectSerialDevices(roots);
  if (devices.empty()) return "No serial ports were found on this computer.";
  std::string list;
  for (const SerialDevice& device : devices) {
    list += (list.empty() ? "" : ", ") + device.StablePath();
    if (device.StablePath() != device.path || !device.description.empty()) {
      list +=
          " (" + device.name + (device.description.empty() ? "" : ", " + device.description) + ")";
    }
  }
  return "Serial ports found: " + list + ".";
}

}  // namespace

std::string ExplainDeviceOpenFailure(const OpenFailure& failure, const SystemRoots& roots) {
  if (failure.errorNumber == 0) return {};
  std::string hint;
  switch (failure.errorNumber) {
    case EACCES:
    case EPERM:
      hint = PermissionHint(failure.devicePath);
      break;
    case EBUSY:
      hint = BusyHint(failure.devicePath, roots);
      break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:  // a serial port with no UART behind it
      hint = MissingHint(roots);
      break;
    default:
      break;
  }
  return hint.empty() ? failure.reason : failure.reason + "\n" + hint;
}

}  // namespace tavrel
