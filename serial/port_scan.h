// The serial devices of this machine as the system describes them: each
// port with hardware behind it (from sysfs: driver, USB identity, stable
// /dev/serial/by-id name), and what this user can tell of a device without
// opening it (from /proc: who has it open). port_scan_linux.cpp reads them;
// port_scan_win32.cpp finds nothing yet.
#pragma once

#include <string>
#include <vector>

#include "serial/file_holders.h"

namespace tavrel {

// Where the system's descriptions are read from. Tests point them at a tree
// of their own.
struct SystemRoots {
  std::string sys = "/sys";
  std::string dev = "/dev";
  std::string proc = "/proc";
};

struct SerialDevice {
  std::string name;          // "ttyUSB0"
  std::string path;          // "/dev/ttyUSB0"
  std::string byIdPath;      // "/dev/serial/by-id/usb-FTDI_..." or empty
  std::string driver;        // "ftdi_sio", "cdc_acm", "serial"... or empty
  std::string usbId;         // vendor:product, "0403:6001", or empty
  std::string serialNumber;  // the USB device's, or empty
  std::string description;   // maker and product, "FTDI FT232R USB UART", or empty

  // The name to give a COM port: the by-id name where there is one, since it
  // stays the same when the adapter is plugged in again or elsewhere.
  const std::string& StablePath() const { return byIdPath.empty() ? path : byIdPath; }
};

// Every terminal with a device behind it: those with a stable by-id name
// first, each part in name order (ttyS2 before ttyS10). Virtual terminals
// and pseudo-terminals have no device; serial ports the driver reserved
// without finding a UART (type 0, "unknown") are left out too.
std::vector<SerialDevice> DetectSerialDevices(const SystemRoots& roots = {});

// The detected device `path` names (directly, or through a link such as its
// by-id name), or null.
const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const SystemRoots& roots = {});

// The device a link such as a /dev/serial/by-id name leads to now; empty
// when `path` is no link or leads nowhere.
std::string DeviceBehindLink(const std::string& path);

// What this user can tell about a device without opening it (an open would
// raise the modem lines and could reset what is attached).
struct DeviceAccess {
  bool exists = false;
  bool mayOpen = false;  // read and write permitted to this user
  // The processes that have it open, as far as this user may see them.
  std::vector<FileHolder> holders;
};

// One entry per path, in order; the processes are read once for all.
std::vector<DeviceAccess> ProbeDevices(const std::vector<std::string>& paths,
                                       const SystemRoots& roots = {});

// The name of the group the device belongs to ("dialout"), or empty when it
// cannot be told.
std::string DeviceGroupName(const std::string& path);

}  // namespace tavrel
