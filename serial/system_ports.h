// Windows' serial ports as its registry and device manager list them, made
// into the port list: written here, apart from the calls that read them, so
// that the rules are the same wherever they are tested.
#pragma once

#include <string>
#include <vector>

#include "serial/port_scan.h"

namespace tavrel {

// One value of HARDWARE\DEVICEMAP\SERIALCOMM: the driver's device
// ("\Device\VCP0") and the port it is ("COM12").
struct RegisteredPort {
  std::string kernelName;
  std::string portName;
};

// One present device of the device manager's Ports class.
struct PortDeviceEntry {
  std::string portName;      // its "PortName", "COM12"
  std::string friendlyName;  // "USB Serial Port (COM12)"
  std::string hardwareId;    // the first of them, "FTDIBUS\COMPORT&VID_0403&PID_6001"
  std::string instanceId;    // "FTDIBUS\VID_0403+PID_6001+A1B2C3A\0000"
  std::string service;       // the driver's service, "FTDIBUS"
};

// Every registered port once, in number order, described by its device
// manager entry where there is one: the description is the friendly name
// without the port it ends in, the USB identity vendor:product in lower case
// (as Linux shows it), the serial number the USB device's. A port without an
// entry keeps its driver's device name as its driver. Names that are no COM
// port are left out.
std::vector<SerialDevice> DescribeSystemPorts(const std::vector<RegisteredPort>& registered,
                                              const std::vector<PortDeviceEntry>& entries);

// The USB vendor:product a hardware or instance identifier names ("VID_0403"
// and "PID_6001" in it), "0403:6001"; empty when it names none.
std::string UsbIdFromDeviceId(const std::string& id);

// The USB serial number an instance identifier carries: the last part of
// "USB\VID_0403&PID_6001\A1B2C3" (Windows makes up one with '&' in it for a
// device without a number), the third part of FTDI's
// "FTDIBUS\VID_0403+PID_6001+A1B2C3A\0000". Empty otherwise.
std::string SerialNumberFromInstanceId(const std::string& id);

}  // namespace tavrel
