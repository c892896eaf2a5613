// The COM ports as Windows lists them: the registry's SERIALCOMM key has
// every port a driver serves (Wine fills it too); the device manager adds
// what the user knows the adapter by. Nothing tells who has a port open.
#include <windows.h>
// (after windows.h)
#include <setupapi.h>

#include <algorithm>
#include <cctype>

#include "serial/com_ports.h"
#include "serial/port_scan.h"
#include "serial/system_ports.h"
#include "serial/windows_text.h"

namespace tavrel {
namespace {

// The device manager's Ports (COM & LPT) class.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::vector<RegisteredPort> ReadSerialComm() {
  std::vector<RegisteredPort> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return ports;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    wchar_t value[256];
    DWORD nameLength = ARRAYSIZE(name);
    DWORD valueBytes = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &valueBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    value[valueBytes / sizeof(wchar_t)] = L'\0';
    ports.push_back({Utf8Text(std::wstring_view(name, nameLength)), Utf8Text(value)});
  }
  RegCloseKey(key);
  return ports;
}

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  wchar_t text[512] = {};
  // A list (the hardware identifiers) gives its first member.
  if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                         reinterpret_cast<BYTE*>(text),
                                         sizeof text - 2 * sizeof(wchar_t), nullptr)) {
    return {};
  }
  return Utf8Text(text);
}

std::vector<PortDeviceEntry> ReadDeviceManager() {
  std::vector<PortDeviceEntry> entries;
  const HDEVINFO set = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return entries;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
    PortDeviceEntry entry;
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key != INVALID_HANDLE_VALUE) {
      wchar_t port[64] = {};
      DWORD bytes = sizeof port - sizeof(wchar_t);
      DWORD type = 0;
      if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(port),
                           &bytes) == ERROR_SUCCESS &&
          type == REG_SZ) {
        entry.portName = Utf8Text(port);
      }
      RegCloseKey(key);
    }
    if (entry.portName.empty()) continue;  // a printer port
    entry.friendlyName = DeviceProperty(set, device, SPDRP_FRIENDLYNAME);
    entry.hardwareId = DeviceProperty(set, device, SPDRP_HARDWAREID);
    entry.service = DeviceProperty(set, device, SPDRP_SERVICE);
    wchar_t instance[512] = {};
    if (SetupDiGetDeviceInstanceIdW(set, &device, instance, ARRAYSIZE(instance), nullptr)) {
      entry.instanceId = Utf8Text(instance);
    }
    entries.push_back(std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(set);
  return entries;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// Whether the system has the device `path` names: a port or another DOS
// device ("\\.\CNCA0") by its DOS name, anything else as a file.
bool DeviceExists(const std::string& path) {
  if (path.empty()) return false;
  std::string name = OpenableDevicePath(path);
  if (name.rfind("\\\\.\\", 0) == 0) {
    wchar_t target[1024];
    return QueryDosDeviceW(WideText(name.substr(4)).c_str(), target, ARRAYSIZE(target)) != 0;
  }
  return GetFileAttributesW(WideText(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::vector<SerialDevice> DetectSerialDevices(const SystemRoots&) {
  return DescribeSystemPorts(ReadSerialComm(), ReadDeviceManager());
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const SystemRoots&) {
  const std::string named = OpenableDevicePath(path);
  for (const SerialDevice& device : devices) {
    if (SameText(device.path, named)) return &device;
  }
  return nullptr;
}

// Windows has no links among its port names.
std::string DeviceBehindLink(const std::string&) {
  return {};
}

std::vector<DeviceAccess> ProbeDevices(const std::vector<std::string>& paths, const SystemRoots&) {
  std::vector<DeviceAccess> found(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    found[i].exists = DeviceExists(paths[i]);
    // A port is anyone's to open who finds it free.
    found[i].mayOpen = found[i].exists;
    found[i].holdersSeen = false;
  }
  return found;
}

// Ports belong to no group.
std::string DeviceGroupName(const std::string&) {
  return {};
}

}  // namespace tavrel
