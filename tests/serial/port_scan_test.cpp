// The machine's serial devices read from a small fake sysfs and /dev tree,
// and who has a device open, read from this machine's /proc.
#include "serial/port_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/comm_port.h"
#include "tests/support/fake_system_tree.h"
#include "tests/support/pty_pair.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

using testing::FakeSystemTree;
using testing::TempFolder;

constexpr char kFtdiById[] = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";

// Two adapters, a UART, a port with no UART behind it and a virtual
// terminal.
void Populate(FakeSystemTree& tree) {
  tree.AddUsbAdapter(
      {"ttyUSB0", "ftdi_sio", "0403", "6001", "A1B2C3", "FTDI", "FT232R USB UART", kFtdiById, 2});
  tree.AddUsbAdapter(
      {"ttyACM0", "cdc_acm", "2341", "0043", "", "Arduino (www.arduino.cc)", "Arduino Uno", "", 3});
  tree.AddUsbAdapter(
      {"ttyUSB10", "ch341-uart", "1a86", "7523", "", "QinHeng Electronics", "USB Serial", "", 4});
  tree.AddUart("ttyS0", "00:01", "4");
  tree.AddPlatformUart("ttyS1", "0");
  tree.AddPlatformUart("ttyS2", "0");
  tree.AddVirtualTerminal("tty1");
}

TEST(SerialDevices, FoundWithTheirDriverIdentityAndStableName) {
  TempFolder folder("tavrel-sysfs");
  FakeSystemTree tree(folder.Path());
  Populate(tree);
  const std::vector<SerialDevice> devices = DetectSerialDevices(tree.Roots());
  struct Expected {
    std::string name;
    std::string driver;
    std::string usbId;
    std::string serialNumber;
    std::string description;
    std::string stablePath;
  };
  const std::string byId = tree.Dev(std::string("serial/by-id/") + kFtdiById);
  const Expected expected[] = {
      // The one with a stable name first.
      {"ttyUSB0", "ftdi_sio", "0403:6001", "A1B2C3", "FTDI FT232R USB UART", byId},
      {"ttyACM0", "cdc_acm", "2341:0043", "", "Arduino (www.arduino.cc) Arduino Uno",
       tree.Dev("ttyACM0")},
      // The UART's driver, not the serial core's own devices in between.
      {"ttyS0", "serial", "", "", "", tree.Dev("ttyS0")},
      {"ttyUSB10", "ch341-uart", "1a86:7523", "", "QinHeng Electronics USB Serial",
       tree.Dev("ttyUSB10")},
  };
  ASSERT_EQ(devices.size(), std::size(expected));
  for (std::size_t i = 0; i < devices.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(devices[i].name, expected[i].name);
    EXPECT_EQ(devices[i].path, tree.Dev(expected[i].name));
    EXPECT_EQ(devices[i].driver, expected[i].driver);
    EXPECT_EQ(devices[i].usbId, expected[i].usbId);
    EXPECT_EQ(devices[i].serialNumber, expected[i].serialNumber);
    EXPECT_EQ(devices[i].description, expected[i].description);
    EXPECT_EQ(devices[i].StablePath(), expected[i].stablePath);
  }
}

TEST(SerialDevices, FoundByTheirOwnOrTheirStableName) {
  TempFolder folder("tavrel-sysfs");
  FakeSystemTree tree(folder.Path());
  Populate(tree);
  const std::vector<SerialDevice> devices = DetectSerialDevices(tree.Roots());
  const std::string byId = tree.Dev(std::string("serial/by-id/") + kFtdiById);
  for (const std::string& path : {byId, tree.Dev("ttyUSB0"), tree.Dev("./ttyUSB0")}) {
    SCOPED_TRACE(path);
    const SerialDevice* device = FindSerialDevice(devices, path, tree.Roots());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->name, "ttyUSB0");
  }
  EXPECT_EQ(FindSerialDevice(devices, tree.Dev("ttyS1"), tree.Roots()), nullptr);
  EXPECT_EQ(FindSerialDevice(devices, "/dev/ttyUSB0", tree.Roots()), nullptr);
}

TEST(SerialDevices, NothingFoundInATreeWithoutTerminals) {
  TempFolder folder("tavrel-sysfs");
  EXPECT_TRUE(DetectSerialDevices({folder.File("sys"), folder.File("dev")}).empty());
}

// Who holds a device is read from the processes' open files: here this test
// itself holds the port.
TEST(SerialDevices, ProbeTellsExistenceAccessAndWhoHoldsIt) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TempFolder folder("tavrel-sysfs");
  CommPort port;
  ASSERT_EQ(port.OpenSerialDevice(pty.slavePath(), 9600), 0) << port.GetSystemErrorText();
  const std::vector<DeviceAccess> access = ProbeDevices({pty.slavePath(), folder.File("none"), ""});
  ASSERT_EQ(access.size(), 3u);
  EXPECT_TRUE(access[0].exists);
  EXPECT_TRUE(access[0].mayOpen);
  ASSERT_EQ(access[0].holders.size(), 1u);
  EXPECT_EQ(access[0].holders[0].pid, ::getpid());
  EXPECT_FALSE(access[0].holders[0].command.empty());
  EXPECT_FALSE(access[1].exists);
  EXPECT_FALSE(access[2].exists);
  port.Close();
  EXPECT_TRUE(ProbeDevices({pty.slavePath()}).front().holders.empty());
}

}  // namespace
}  // namespace tavrel
