// Which device each COM number stands for (environment, profile, default),
// and assignments that change the one line of the profile they set.
#include "model/com_port_directory.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/camera_unit.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

using testing::ReadBytes;
using testing::ScopedEnvironment;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char kById[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";

// An environment of the test's own.
ComPortDirectory::Environment EnvironmentOf(std::map<std::string, std::string> variables) {
  return [variables](const std::string& name) -> std::optional<std::string> {
    const auto it = variables.find(name);
    if (it == variables.end()) return std::nullopt;
    return it->second;
  };
}

TEST(ComPortDirectory, EnvironmentThenProfileThenDefault) {
  TempFolder folder("tavrel-com-ports");
  const std::string profile = folder.File("profile.ini");
  WriteBytes(profile, std::string("[COM Ports]\nCOM1=") + kById +
                          "\nCOM2=/dev/ttyACM0\nCOM3=\nCOM11=/dev/ttyUSB9\n[Settings]\nCOM4=/x\n");
  const ComPortDirectory directory(
      profile, {}, EnvironmentOf({{"TAVREL_COM2", "/dev/pts/7"}, {"TAVREL_COM5", "/tmp/cam"}}));
  struct Case {
    std::int32_t port;
    std::string path;
    ComPortSource source;
  };
  const Case cases[] = {
      {1, kById, ComPortSource::kProfile},             // a by-id name kept as a name
      {2, "/dev/pts/7", ComPortSource::kEnvironment},  // the environment wins
      {3, "/dev/ttyS2", ComPortSource::kDefault},      // an empty entry is none
      {4, "/dev/ttyS3", ComPortSource::kDefault},      // only its own section counts
      {5, "/tmp/cam", ComPortSource::kEnvironment},    // the environment alone
      {10, "/dev/ttyS9", ComPortSource::kDefault},     //
      {11, "/dev/ttyS10", ComPortSource::kDefault},    // no COM11 in the profile's reach
      {0, "", ComPortSource::kDefault},                // names no device
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    const ComPortDevice device = directory.Resolve(c.port);
    EXPECT_EQ(device.path, c.path);
    EXPECT_EQ(device.source, c.source);
    EXPECT_EQ(directory.Resolver()(c.port), c.path);
  }
  EXPECT_STREQ(ComPortSourceName(ComPortSource::kEnvironment), "environment");
  EXPECT_STREQ(ComPortSourceName(ComPortSource::kProfile), "profile");
  EXPECT_STREQ(ComPortSourceName(ComPortSource::kDefault), "default");
}

TEST(ComPortDirectory, NoProfileFileMeansTheDefaults) {
  TempFolder folder("tavrel-com-ports");
  const ComPortDirectory directory(folder.File("none/profile.ini"), {}, EnvironmentOf({}));
  EXPECT_EQ(directory.Resolve(1).path, "/dev/ttyS0");
  EXPECT_EQ(directory.Resolve(1).source, ComPortSource::kDefault);
}

TEST(ComPortDirectory, AssignmentsChangeOnlyTheirOwnLine) {
  TempFolder folder("tavrel-com-ports");
  const std::string profile = folder.File("profile.ini");
  const std::string before =
      "; kept as written\r\n[Settings]\r\nCOM Port=3\r\n\r\n[Recent File List]\r\n"
      "File1=/home/op/a.tdx\r\n";
  WriteBytes(profile, before);
  const ComPortDirectory directory(profile, {}, EnvironmentOf({}));

  EXPECT_EQ(directory.Assign(1, kById), "");
  EXPECT_EQ(directory.Assign(10, "/dev/ttyUSB0"), "");
  EXPECT_EQ(ReadBytes(profile),
            before + "\r\n[COM Ports]\r\nCOM1=" + kById + "\r\nCOM10=/dev/ttyUSB0\r\n");
  EXPECT_EQ(directory.Resolve(1).path, kById);
  EXPECT_EQ(directory.Resolve(1).source, ComPortSource::kProfile);

  EXPECT_EQ(directory.Assign(1, "/dev/ttyACM0"), "");
  EXPECT_EQ(ReadBytes(profile),
            before + "\r\n[COM Ports]\r\nCOM1=/dev/ttyACM0\r\nCOM10=/dev/ttyUSB0\r\n");
  EXPECT_EQ(directory.Unassign(1), "");
  EXPECT_EQ(directory.Unassign(10), "");
  EXPECT_EQ(ReadBytes(profile), before);  // the emptied section goes too
  EXPECT_EQ(directory.Resolve(1).source, ComPortSource::kDefault);
}

TEST(ComPortDirectory, RefusesWhatNoLineCanHold) {
  TempFolder folder("tavrel-com-ports");
  const std::string profile = folder.File("profile.ini");
  const ComPortDirectory directory(profile, {}, EnvironmentOf({}));
  EXPECT_NE(directory.Assign(0, "/dev/ttyUSB0"), "");
  EXPECT_NE(directory.Assign(11, "/dev/ttyUSB0"), "");
  EXPECT_NE(directory.Assign(1, ""), "");
  EXPECT_NE(directory.Assign(1, "/dev/ttyUSB0\nCOM2=/dev/ttyUSB1"), "");
  EXPECT_NE(directory.Unassign(11), "");
  EXPECT_FALSE(std::filesystem::exists(profile));
}

// The camera object opens the device the user's profile names.
TEST(ComPortDirectory, TheCameraOpensWhatTheProfileNames) {
  TempFolder folder("tavrel-com-ports");
  const ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path().c_str());
  const ScopedEnvironment none("TAVREL_COM6", nullptr);
  ASSERT_EQ(ComPortDirectory().Assign(6, folder.File("adapter")), "");
  CameraUnit camera;
  EXPECT_EQ(camera.OpenSerial(6, 9600), -4);
  EXPECT_EQ(camera.GetDeviceOpenFailure().devicePath, folder.File("adapter"));
}

}  // namespace
}  // namespace tavrel
