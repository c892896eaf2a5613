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

TEST(LineRates, OnlyTheCamerasRates) {
  for (const std::int32_t baud : {9600, 19200, 38400}) EXPECT_TRUE(IsSupportedLineRate(baud));
  for (const std::int32_t baud : {0, 4800, 57600, 115200, -9600}) {
    EXPECT_FALSE(IsSupportedLineRate(baud)) << baud;
  }
}

}  // namespace
}  // namespace tavrel
