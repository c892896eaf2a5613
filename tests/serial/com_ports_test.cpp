// What "COM n" means: its name and the names taken for it, the device it
// stands for when nothing else is said, and the line rates the camera runs at.
#include "serial/com_ports.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "tests/support/scoped_environment.h"

namespace tavrel {
namespace {

TEST(ComPortNames, ParseComOneToTen) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"COM1", 1},
      {"com10", 10},
      {"Com7", 7},
      {"COM0", std::nullopt},
      {"COM11", std::nullopt},
      {"COM01", std::nullopt},
      {"COM", std::nullopt},
      {"1", std::nullopt},
      {"COM 1", std::nullopt},
      {"COM1x", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, port] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseComPortName(text), port);
  }
  EXPECT_EQ(ComPortName(10), "COM10");
}

// The environment leads a COM number elsewhere; an empty variable does not.
TEST(ComPortDevices, TheEnvironmentElseThePlatformsOwnDevice) {
  EXPECT_EQ(ComPortVariableName(3), "TAVREL_COM3");
  EXPECT_EQ(DefaultComPortDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(DefaultComPortDevicePath(10), "/dev/ttyS9");
  EXPECT_EQ(DefaultComPortDevicePath(0), "");
  {
    const testing::ScopedEnvironment set("TAVREL_COM3", "/tmp/camera");
    EXPECT_EQ(ComPortDevicePath(3), "/tmp/camera");
    EXPECT_EQ(ComPortDevicePath(4), DefaultComPortDevicePath(4));
  }
  const testing::ScopedEnvironment empty("TAVREL_COM3", "");
  EXPECT_EQ(ComPortDevicePath(3), "/dev/ttyS2");
  EXPECT_EQ(ComPortDevicePath(0), "");
}

// Windows' own port names reach every port, COM10 and above too, by the long
// form; on Linux a name is a path and stays as it is.
TEST(ComPortNames, WindowsPortNames) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"COM12", 12},
      {"\\\\.\\com12", 12},
      {"COM1", 1},
      {"COM256", 256},
      {"COM257", std::nullopt},
      {"COM0", std::nullopt},
      {"COM012", std::nullopt},
      {"\\\\.\\", std::nullopt},
      {"\\\\?\\COM3", std::nullopt},
      {"/dev/ttyS0", std::nullopt},
  };
  for (const auto& [text, number] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseSystemPortName(text), number);
  }
  EXPECT_EQ(SystemPortDevicePath(12), "\\\\.\\COM12");
  EXPECT_EQ(OpenableDevicePath("COM12"), "COM12");  // a relative path on Linux
  EXPECT_EQ(OpenableDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

// The one order every part of the program resolves COM n in: the
// environment, the user's assignment (COM1 to COM10 only), the default.
TEST(ComPortDevices, EnvironmentThenAssignmentThenDefault) {
  const ComPortLookup environment = [](const std::string& name) -> std::optional<std::string> {
    if (name == "TAVREL_COM2") return "/tmp/env2";
    if (name == "TAVREL_COM4") return "";  // empty: not set
    return std::nullopt;
  };
  const ComPortLookup assigned = [](const std::string& name) -> std::optional<std::string> {
    if (name == "COM11") ADD_FAILURE() << "asked for " << name;
    if (name == "COM1" || name == "COM2" || name == "COM4") return "/tmp/chosen";
    if (name == "COM3") return "";
    return std::nullopt;
  };
  struct Case {
    std::int32_t port;
    std::string path;
    ComPortSource source;
  };
  const Case cases[] = {
      {1, "/tmp/chosen", ComPortSource::kProfile},  {2, "/tmp/env2", ComPortSource::kEnvironment},
      {3, "/dev/ttyS2", ComPortSource::kDefault},   {4, "/tmp/chosen", ComPortSource::kProfile},
      {11, "/dev/ttyS10", ComPortSource::kDefault}, {0, "", ComPortSource::kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    const ComPortDevice device = ResolveComPort(c.port, environment, assigned);
    EXPECT_EQ(device.port, c.port);
    EXPECT_EQ(device.path, c.path);
    EXPECT_EQ(device.source, c.source);
  }
  EXPECT_EQ(ResolveComPort(1, {}, {}).path, "/dev/ttyS0");
}

TEST(LineRates, OnlyTheCamerasRates) {
  for (const std::int32_t baud : {9600, 19200, 38400}) EXPECT_TRUE(IsSupportedLineRate(baud));
  for (const std::int32_t baud : {0, 4800, 57600, 115200, -9600}) {
    EXPECT_FALSE(IsSupportedLineRate(baud)) << baud;
  }
}

}  // namespace
}  // namespace tavrel
