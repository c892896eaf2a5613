// Why a device did not open, as the error box and tavrelctl tell it: the
// system's reason, then one hint. The failures are real ones, made on a
// pseudo-terminal (held by another opener, or not to be opened by an
// ordinary user); the ports found come from a fake sysfs tree.
#include "serial/open_failure.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "link/comm_port.h"
#include "tests/support/fake_system_tree.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/pty_pair.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

using testing::FakeSystemTree;
using testing::TempFolder;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(DeviceOpenExplanation, AMissingDeviceListsThePortsFound) {
  TempFolder folder("tavrel-explain");
  FakeSystemTree tree(folder.Path());
  tree.AddUsbAdapter({"ttyUSB0", "ftdi_sio", "0403", "6001", "A1B2C3", "FTDI", "FT232R USB UART",
                      "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", 2});
  tree.AddUart("ttyS0", "00:01", "4");
  CommPort port;
  EXPECT_EQ(port.OpenSerialDevice(folder.File("ttyUSB7"), 9600), -4);
  EXPECT_EQ(port.GetDeviceOpenFailure().errorNumber, ENOENT);
  EXPECT_EQ(ExplainDeviceOpenFailure(port.GetDeviceOpenFailure(), tree.Roots()),
            folder.File("ttyUSB7") + ": No such file or directory\n" + "Serial ports found: " +
                tree.Dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0") +
                " (ttyUSB0, FTDI FT232R USB UART), " + tree.Dev("ttyS0") + ".");

  TempFolder empty("tavrel-explain");
  EXPECT_EQ(
      ExplainDeviceOpenFailure(port.GetDeviceOpenFailure(), FakeSystemTree(empty.Path()).Roots()),
      folder.File("ttyUSB7") + ": No such file or directory\n" +
          "No serial ports were found on this computer.");
}

TEST(DeviceOpenExplanation, ABusyDeviceNamesTheProcessHoldingIt) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CommPort holder;
  ASSERT_EQ(holder.OpenSerialDevice(pty.slavePath(), 9600), 0) << holder.GetSystemErrorText();
  CommPort second;
  EXPECT_EQ(second.OpenSerialDevice(pty.slavePath(), 9600), -4);
  EXPECT_EQ(second.GetDeviceOpenFailure().errorNumber, EBUSY);
  const std::string explanation = ExplainDeviceOpenFailure(second.GetDeviceOpenFailure());
  EXPECT_TRUE(Contains(explanation, pty.slavePath() + ": device is busy")) << explanation;
  EXPECT_TRUE(Contains(
      explanation, "\nAnother program has it open: process " + std::to_string(::getpid()) + " ("))
      << explanation;

  // A user who cannot see the holder is told the same, and how to find it.
  if (::geteuid() != 0) return;
  ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0666), 0);
  const std::string unseen = pty.slavePath() + ": device is busy (in use by another program)\n" +
                             "Another program has it open (\"sudo fuser -v " + pty.slavePath() +
                             "\" tells which).";
  EXPECT_EQ(testing::RunAsOrdinaryUser([&] {
              // The holder is root's process alone, not this child's copy.
              for (int fd = 3; fd < 1024; ++fd) ::close(fd);
              CommPort port;
              if (port.OpenSerialDevice(pty.slavePath(), 9600) != -4) return 1;
              return ExplainDeviceOpenFailure(port.GetDeviceOpenFailure()) == unseen ? 0 : 2;
            }),
            0);
}

// The device belongs to a group the ordinary user is not in, as serial
// ports belong to "dialout".
TEST(DeviceOpenExplanation, APermissionDeniedNamesTheGroupToJoin) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving the device to another group needs root";
  const struct group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "this machine has no group dialout";
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(::chown(pty.slavePath().c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0660), 0);
  const std::string expected = pty.slavePath() + ": Permission denied\n" +
                               "Its users are the group dialout: join it with \"sudo usermod -aG " +
                               "dialout $USER\", then log in again.";
  const int status = testing::RunAsOrdinaryUser([&] {
    CommPort port;
    if (port.OpenSerialDevice(pty.slavePath(), 9600) != -4) return 1;
    return ExplainDeviceOpenFailure(port.GetDeviceOpenFailure()) == expected ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
}

TEST(DeviceOpenExplanation, OtherFailuresGiveTheReasonAloneAndSuccessNothing) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CommPort port;
  EXPECT_EQ(port.OpenSerialDevice("/dev/null", 9600), -4);
  EXPECT_EQ(ExplainDeviceOpenFailure(port.GetDeviceOpenFailure()),
            "/dev/null: not a terminal device");
  ASSERT_EQ(port.OpenSerialDevice(pty.slavePath(), 9600), 0);
  EXPECT_EQ(ExplainDeviceOpenFailure(port.GetDeviceOpenFailure()), "");
  EXPECT_EQ(port.OpenSerialDevice(pty.slavePath(), 12345), -4);  // a rate the line cannot run at
  EXPECT_EQ(ExplainDeviceOpenFailure(port.GetDeviceOpenFailure()), "");
}

}  // namespace
}  // namespace tavrel
