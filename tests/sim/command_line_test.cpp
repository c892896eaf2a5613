#include "sim/camera_command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CameraCommandLineTest, ParsesEveryOption) {
  const auto line = sim::ParseCameraCommandLine(
      "--model LOMIRA-P/S --trace /tmp/t.txt --pace 9600 --turnaround 3 --fault enq-nak:2 "
      "--fault enq-silent:1@5 --fault garbage --fault reply-cut:1 --fault reply-silent "
      "--fault nul-value --device /dev/ttyUSB1 --vendor-name Acme --serial-number 7654321 "
      "--camera-version 2000 --link /tmp/cam --init-fail --model-name LOMIRA-S --baud 9600");
  const auto& o = line.options;
  EXPECT_EQ(o.model, "LOMIRA-P/S");
  EXPECT_EQ(o.traceFile, "/tmp/t.txt");
  EXPECT_EQ(o.paceBaud, 9600);
  EXPECT_EQ(o.turnaroundMs, 3);
  ASSERT_EQ(o.faults.size(), 6u);
  EXPECT_EQ(o.faults[0].kind, sim::FaultKind::kEnqNak);
  EXPECT_EQ(o.faults[0].count, 2);
  EXPECT_EQ(o.faults[0].after, 0);
  EXPECT_EQ(o.faults[1].kind, sim::FaultKind::kEnqSilent);
  EXPECT_EQ(o.faults[1].count, 1);
  EXPECT_EQ(o.faults[1].after, 5);
  EXPECT_EQ(o.faults[2].kind, sim::FaultKind::kGarbage);
  EXPECT_EQ(o.faults[2].count, -1);
  EXPECT_EQ(o.faults[3].kind, sim::FaultKind::kReplyCut);
  EXPECT_EQ(o.faults[4].kind, sim::FaultKind::kReplySilent);
  EXPECT_EQ(o.faults[5].kind, sim::FaultKind::kNulValue);
  EXPECT_EQ(line.devicePath, "/dev/ttyUSB1");
  EXPECT_EQ(o.vendorName, "Acme");
  EXPECT_EQ(o.serialNumber, "7654321");
  EXPECT_EQ(o.cameraVersion, "2000");
  EXPECT_EQ(line.linkPath, "/tmp/cam");
  EXPECT_TRUE(line.initFail);
  EXPECT_EQ(o.modelName, "LOMIRA-S");
  EXPECT_EQ(o.lineBaud, 9600);
}

TEST(CameraCommandLineTest, DefaultsAndHelp) {
  const auto line = sim::ParseCameraCommandLine("");
  EXPECT_EQ(line.options.model, "KESTRA-P/S");
  EXPECT_EQ(line.options.paceBaud, 0);
  EXPECT_EQ(line.options.lineBaud, 0);    // any rate
  EXPECT_EQ(line.options.modelName, "");  // the model's own
  EXPECT_TRUE(line.options.faults.empty());
  EXPECT_FALSE(line.initFail);
  const auto help = sim::ParseCameraCommandLine("--help");
  EXPECT_TRUE(help.helpShown);
  for (const char* option :
       {"--model", "--trace", "--pace", "--turnaround", "--fault", "--vendor-name",
        "--serial-number", "--camera-version", "--link", "--device", "hangup", "reply-silent",
        "reply-cut", "nul-value", "--model-name", "--baud"}) {
    EXPECT_NE(help.helpText.find(option), std::string::npos) << option;
  }
}

TEST(CameraCommandLineTest, RejectsBadOptions) {
  for (const char* text :
       {"--model NOPE", "--pace 4800", "--fault melt", "--fault enq-nak:x", "--fault enq-nak:-2",
        "--fault enq-nak@-1", "--turnaround -1", "--bogus", "stray", "--baud 4800", "--baud x",
        "--device /dev/ttyUSB1 --pace 9600 --baud 19200"}) {
    EXPECT_THROW(sim::ParseCameraCommandLine(text), std::invalid_argument) << text;
  }
  // An empty device name would quietly serve on a pty instead.
  try {
    sim::ParseCameraCommandLine(std::vector<std::string>{"--device", ""});
    ADD_FAILURE() << "an empty --device was taken";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("--device"), std::string::npos) << error.what();
  }
  // An empty model name would quietly be the model's own.
  EXPECT_THROW(sim::ParseCameraCommandLine(std::vector<std::string>{"--model-name", ""}),
               std::invalid_argument);
  // On a device the two name one rate; when they agree, that is the rate.
  EXPECT_EQ(sim::ParseCameraCommandLine("--device /dev/ttyUSB1 --pace 19200 --baud 19200")
                .options.lineBaud,
            19200);
}

}  // namespace
