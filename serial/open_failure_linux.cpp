#include "serial/open_failure.h"

#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace tavrel {
namespace {

std::string PermissionHint(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  // Joining the group helps only where the group may read and write it (a
  // pty's group tty may only write to it).
  constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
  const std::string group = DeviceGroupName(path);
  if ((info.st_mode & kGroupReadWrite) == kGroupReadWrite && !group.empty()) {
    if (group == "root") return "Only root may open it: ask the administrator for access.";
    return "Its users are the group " + group + ": join it with \"sudo usermod -aG " + group +
           " $USER\", then log in again.";
  }
  const struct passwd* owner = ::getpwuid(info.st_uid);
  const std::string ownerName = owner != nullptr ? owner->pw_name : std::to_string(info.st_uid);
  return "Only its owner, " + ownerName +
         ", may open it: a udev rule can give the device to a group of yours, or name the "
         "adapter's own device (a /dev/serial/by-id name).";
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
      hint = FoundPortsHint(roots);
      break;
    default:
      break;
  }
  return hint.empty() ? failure.reason : failure.reason + "\n" + hint;
}

}  // namespace tavrel
