// Windows' serial ports as its registry and device manager list them, made
// into the port list: number order, the adapter's name and USB identity.
#include "serial/system_ports.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tavrel {
namespace {

TEST(SystemPorts, EveryRegisteredPortOnceInNumberOrderDescribedByItsDevice) {
  const std::vector<RegisteredPort> registered = {
      {"\\Device\\VCP0", "COM12"},     {"\\Device\\Serial0", "COM1"},
      {"\\Device\\Serial1", "COM2"},   {"\\Device\\USBSER000", "COM9"},
      {"\\Device\\Serial2", "COM10"},  {"\\Device\\Serial9", "com1"},  // twice: the first counts
      {"\\Device\\Parallel0", "LPT1"},                                 // no COM port
  };
  const std::vector<PortDeviceEntry> entries = {
      {"COM12", "USB Serial Port (COM12)", "FTDIBUS\\COMPORT&VID_0403&PID_6001",
       "FTDIBUS\\VID_0403+PID_6001+A1B2C3A\\0000", "FTDIBUS"},
      {"COM9", "USB Serial Device (COM9)", "USB\\VID_2341&PID_0043&REV_0001",
       "USB\\VID_2341&PID_0043\\85736323838351F0E1C1", "usbser"},
      {"COM1", "Communications Port (COM1)", "ACPI\\PNP0501", "ACPI\\PNP0501\\0", "Serial"},
      {"COM7", "Bluetooth Link (COM7)", "BTHENUM\\{0}", "BTHENUM\\X\\Y", "BTHMODEM"},  // unlisted
  };
  const std::vector<SerialDevice> devices = DescribeSystemPorts(registered, entries);
  struct Expected {
    std::string name, path, driver, usbId, serialNumber, description;
  };
  const std::vector<Expected> expected = {
      {"COM1", "\\\\.\\COM1", "Serial", "", "", "Communications Port"},
      {"COM2", "\\\\.\\COM2", "Serial1", "", "", ""},
      {"COM9", "\\\\.\\COM9", "usbser", "2341:0043", "85736323838351F0E1C1", "USB Serial Device"},
      {"COM10", "\\\\.\\COM10", "Serial2", "", "", ""},
      {"COM12", "\\\\.\\COM12", "FTDIBUS", "0403:6001", "A1B2C3A", "USB Serial Port"},
  };
  ASSERT_EQ(devices.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(devices[i].name, expected[i].name);
    EXPECT_EQ(devices[i].path, expected[i].path);
    EXPECT_EQ(devices[i].driver, expected[i].driver);
    EXPECT_EQ(devices[i].usbId, expected[i].usbId);
    EXPECT_EQ(devices[i].serialNumber, expected[i].serialNumber);
    EXPECT_EQ(devices[i].description, expected[i].description);
    // A port is assigned by its own name.
    EXPECT_EQ(devices[i].UserName(), expected[i].name);
  }
  EXPECT_TRUE(DescribeSystemPorts({}, entries).empty());
}

TEST(SystemPorts, UsbIdentityFromTheDeviceIdentifiers) {
  const std::pair<const char*, const char*> usbIds[] = {
      {"USB\\VID_10C4&PID_EA60&REV_0100", "10c4:ea60"},
      {"FTDIBUS\\COMPORT&VID_0403&PID_6015", "0403:6015"},
      {"usb\\vid_067b&pid_2303", "067b:2303"},
      {"ACPI\\PNP0501", ""},
      {"USB\\VID_04&PID_6001", ""},  // too short
      {"USB\\VID_0403", ""},
  };
  for (const auto& [id, usbId] : usbIds) EXPECT_EQ(UsbIdFromDeviceId(id), usbId) << id;

  const std::pair<const char*, const char*> serials[] = {
      {"USB\\VID_0403&PID_6001\\A1B2C3", "A1B2C3"},
      {"USB\\VID_067B&PID_2303\\5&2B2A1C5&0&2", ""},  // made up by Windows: no number
      {"FTDIBUS\\VID_0403+PID_6001+FT9XYZA\\0000", "FT9XYZA"},
      {"ACPI\\PNP0501\\0", ""},
      {"USB\\VID_0403&PID_6001", ""},
  };
  for (const auto& [id, serial] : serials) EXPECT_EQ(SerialNumberFromInstanceId(id), serial) << id;
}

}  // namespace
}  // namespace tavrel
