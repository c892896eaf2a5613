#include "serial/port_scan.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <tuple>

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs or procfs attribute, without its line end;
// empty when it cannot be read.
std::string ReadAttribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

// Sorts names the way people count: "ttyS2" before "ttyS10".
std::tuple<std::string, long, std::string> NameOrder(const std::string& name) {
  const std::size_t digits = name.find_last_not_of("0123456789") + 1;
  if (digits == name.size()) return {name, -1, name};
  return {name.substr(0, digits), std::stol(name.substr(digits)), name};
}

// A serial port that the 8250 driver reserves whether or not a UART answers
// at its address reads type 0 ("unknown"): nothing is behind it.
bool HasNoUart(const fs::path& tty) {
  return ReadAttribute(tty / "type") == "0";
}

// The driver serving `hardware`. The serial core puts devices of its own
// (bus "serial-base") between the port and the hardware's device; the
// driver that tells the user something is the hardware's.
std::string DriverName(fs::path hardware) {
  std::error_code error;
  for (int level = 0; level < 4; ++level) {
    const fs::path driver = fs::canonical(hardware / "driver", error);
    if (error) return {};
    // .../bus/<bus>/drivers/<name>
    if (driver.parent_path().parent_path().filename() != "serial-base") {
      return driver.filename().string();
    }
    hardware = hardware.parent_path();
  }
  return {};
}

// The USB device above `hardware` (the adapter itself, which carries the
// identity), if there is one.
void AddUsbIdentity(const fs::path& hardware, const fs::path& devicesRoot, SerialDevice* device) {
  for (fs::path folder = hardware; folder.has_relative_path() && folder != devicesRoot;
       folder = folder.parent_path()) {
    const std::string vendor = ReadAttribute(folder / "idVendor");
    const std::string product = ReadAttribute(folder / "idProduct");
    if (vendor.empty() || product.empty()) continue;
    device->usbId = vendor + ":" + product;
    device->serialNumber = ReadAttribute(folder / "serial");
    const std::string maker = ReadAttribute(folder / "manufacturer");
    const std::string name = ReadAttribute(folder / "product");
    // Many products already begin with their maker's name.
    if (maker.empty() || name.rfind(maker, 0) == 0) {
      device->description = name;
    } else {
      device->description = name.empty() ? maker : maker + " " + name;
    }
    return;
  }
}

// Where a link in `folder` leads, without following further links.
fs::path LinkTarget(const fs::path& link) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  if (error) return {};
  return (target.is_absolute() ? target : link.parent_path() / target).lexically_normal();
}

void AddByIdNames(const SystemRoots& roots, std::vector<SerialDevice>* devices) {
  std::error_code error;
  std::vector<fs::path> links;
  for (const auto& entry :
       fs::directory_iterator(fs::path(roots.dev) / "serial" / "by-id", error)) {
    links.push_back(entry.path());
  }
  std::sort(links.begin(), links.end());
  for (const fs::path& link : links) {
    const fs::path target = LinkTarget(link);
    for (SerialDevice& device : *devices) {
      if (device.byIdPath.empty() && fs::path(device.path).lexically_normal() == target) {
        device.byIdPath = link.string();
      }
    }
  }
}

}  // namespace

std::vector<SerialDevice> DetectSerialDevices(const SystemRoots& roots) {
  std::vector<SerialDevice> devices;
  const fs::path devicesRoot = fs::path(roots.sys) / "devices";
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(roots.sys) / "class" / "tty", error)) {
    const fs::path tty = entry.path();
    std::error_code missing;
    const fs::path hardware = fs::canonical(tty / "device", missing);
    // Virtual terminals and pseudo-terminals have no device behind them.
    if (missing || HasNoUart(tty)) continue;
    SerialDevice device;
    device.name = tty.filename().string();
    device.path = (fs::path(roots.dev) / device.name).string();
    device.driver = DriverName(hardware);
    AddUsbIdentity(hardware, fs::canonical(devicesRoot, missing), &device);
    devices.push_back(std::move(device));
  }
  std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    return NameOrder(a.name) < NameOrder(b.name);
  });
  AddByIdNames(roots, &devices);
  std::stable_sort(devices.begin(), devices.end(),
                   [](const SerialDevice& a, const SerialDevice& b) {
                     return !a.byIdPath.empty() && b.byIdPath.empty();
                   });
  return devices;
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const SystemRoots& roots) {
  // Links are followed inside the device folder only, so that a fake tree
  // resolves the way the real one does.
  fs::path named = fs::path(path).lexically_normal();
  const fs::path devRoot = fs::path(roots.dev).lexically_normal();
  for (int hops = 0; hops < 8; ++hops) {
    for (const SerialDevice& device : devices) {
      if (fs::path(device.path).lexically_normal() == named) return &device;
    }
    const fs::path target = LinkTarget(named);
    if (target.empty() || target.string().rfind((devRoot / "").string(), 0) != 0) return nullptr;
    named = target;
  }
  return nullptr;
}

std::string DeviceBehindLink(const std::string& path) {
  std::error_code error;
  if (path.empty() || !fs::is_symlink(path, error)) return {};
  const fs::path device = fs::canonical(path, error);
  return error ? std::string() : device.string();
}

std::vector<DeviceAccess> ProbeDevices(const std::vector<std::string>& paths,
                                       const SystemRoots& roots) {
  std::vector<DeviceAccess> found(paths.size());
  FileHolders holders = FindFileHolders(paths, roots.proc);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    DeviceAccess& access = found[i];
    struct stat info {};
    access.exists = !paths[i].empty() && ::stat(paths[i].c_str(), &info) == 0;
    if (!access.exists) continue;
    access.mayOpen = ::access(paths[i].c_str(), R_OK | W_OK) == 0;
    access.holders = std::move(holders.byPath[i]);
  }
  return found;
}

std::string DeviceGroupName(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  const struct group* group = ::getgrgid(info.st_gid);
  return group != nullptr ? group->gr_name : std::to_string(info.st_gid);
}

}  // namespace tavrel
