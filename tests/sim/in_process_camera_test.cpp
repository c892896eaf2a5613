// The virtual camera behind the link in the same process: reached through a
// routed COM port, on a virtual clock.
#include "sim/in_process_camera.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include "link/comm_port.h"
#include "sim/camera_command_line.h"

namespace {

using Bytes = sim::RegisterBytes;

sim::CameraOptions WithFault(const char* fault) {
  sim::CameraOptions options;
  options.faults = {sim::ParseFault(fault)};
  return options;
}

TEST(InProcessCamera, RoutedComPortReachesTheCameraAcrossOpens) {
  sim::InProcessCamera camera({}, sim::CameraTime::kVirtual);
  tavrel::CommPort port;
  port.RouteComPort(1, [&camera] { return camera.Connect(); });
  ASSERT_EQ(port.OpenSerial(1, 9600), 0);
  EXPECT_TRUE(port.IsPortOpen());
  EXPECT_EQ(port.GetPortNumber(), 1);
  EXPECT_EQ(port.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 300), 0);
  EXPECT_EQ(camera.ReadRegister(1, 0x01, 0x0C), (Bytes{0x01, 0x2C, 0x00}));

  // Opened again (the Serial Port dialog): the same camera answers.
  ASSERT_EQ(port.OpenSerial(1, 38400), 0);
  EXPECT_EQ(port.GetBaudRate(), 38400);
  std::int32_t value = 0;
  EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x0C, 0, 462, &value), 0);
  EXPECT_EQ(value, 300);

  // The port's rules stay those of a device.
  EXPECT_EQ(port.OpenSerial(1, 12345), -4);
  EXPECT_FALSE(port.IsPortOpen());
  EXPECT_EQ(port.OpenSerial(11, 9600), -2);
  // Other ports still lead to their devices.
  setenv("TAVREL_COM2", "/nonexistent/tty", 1);
  EXPECT_EQ(port.OpenSerial(2, 9600), -4);
  unsetenv("TAVREL_COM2");
  EXPECT_EQ(camera.ReceivedBodies().size(), 2u);
}

// The link's waits pass on the camera's clock, by exactly their time-outs.
TEST(InProcessCamera, TimeOutsPassOnTheVirtualClock) {
  struct Case {
    const char* fault;
    bool read;
    std::int64_t waitedMs;
  };
  const Case cases[] = {
      {"enq-silent", false, 4 * 1000},    // four ENQs unanswered
      {"frame-no-ack", false, 4 * 3000},  // four frames unanswered
      {"reply-silent", true, 4 * 4000},   // four cycles without a reply
      {"reply-cut:1", true, 9 * 1000},    // the rest of one reply never comes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    sim::InProcessCamera camera(WithFault(c.fault), sim::CameraTime::kVirtual);
    tavrel::CommPort port;
    port.AttachTransport(camera.Connect(), 1, 9600);
    const std::int64_t startUs = camera.NowUs();
    std::int32_t value = 0;
    if (c.read) {
      port.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 834, &value);
    } else {
      port.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1);
    }
    EXPECT_EQ(camera.NowUs() - startUs, c.waitedMs * 1000);
  }
}

// With pacing every character takes its wire time on the virtual clock: a
// write command is ENQ, ACK, an 18-character frame and ACK.
TEST(InProcessCamera, PacedLineTakesTheWireTime) {
  sim::CameraOptions options;
  options.paceBaud = 9600;
  sim::InProcessCamera camera(options, sim::CameraTime::kVirtual);
  tavrel::CommPort port;
  port.AttachTransport(camera.Connect(), 1, 9600);
  const std::int64_t startUs = camera.NowUs();
  ASSERT_EQ(port.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1), 0);
  EXPECT_EQ(camera.NowUs() - startUs, 21 * sim::CharacterTimeUs(9600));
}

}  // namespace
