// tavrelctl find end to end: virtual cameras at their own rates on ptys, a
// silent pty, and a device another program holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "sim/pty_camera.h"
#include "tests/support/lock_holder.h"
#include "tests/support/pty_pair.h"
#include "tests/support/run_process.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using testing::Lines;
using testing::LockHolder;
using testing::ProcessResult;
using testing::PtyPair;
using testing::RunProcess;

ProcessResult Tavrelctl(std::vector<std::string> args, std::vector<std::string> env = {}) {
  args.insert(args.begin(), TAVRELCTL_PATH);
  return RunProcess(args, env);
}

sim::CameraOptions CameraAt(int baud, const char* model, const char* modelName) {
  sim::CameraOptions options;
  options.lineBaud = baud;
  options.model = model;
  options.modelName = modelName;
  return options;
}

// Only read commands of the identification area (H3 90) reach a camera.
void ExpectOnlyIdentificationReads(const sim::PtyCamera& camera) {
  const std::vector<std::string> bodies = camera.ReceivedBodies();
  EXPECT_FALSE(bodies.empty());
  for (const std::string& body : bodies) EXPECT_EQ(body.substr(0, 6), "01FF90") << body;
}

TEST(FindCommand, FindsEachCameraAtItsOwnRateAndNamesItsModel) {
  sim::PtyCamera lomira(CameraAt(9600, "LOMIRA-P/S", "LOMIRA-S"));
  sim::PtyCamera other(CameraAt(38400, "KESTRA-P/S", "CAM-1000"));
  PtyPair silent;
  ASSERT_TRUE(silent.ok());
  const std::vector<std::string> env = {"TAVREL_COM2=" + lomira.DevicePath()};

  const ProcessResult text =
      Tavrelctl({"find", "com2", other.DevicePath(), silent.slavePath()}, env);
  ASSERT_EQ(text.exitStatus, 0) << text.err;
  EXPECT_EQ(text.err, "");
  EXPECT_EQ(Lines(text.out),
            (std::vector<std::string>{
                "COM2\t" + lomira.DevicePath() + "\t9600\tLOMIRA-S\t0012345\tLOMIRA-P/S",
                "-\t" + other.DevicePath() + "\t38400\tCAM-1000\t0012345\t-"}));

  // A device named twice, once by its COM number, is probed once.
  const ProcessResult json =
      Tavrelctl({"find", "--json", lomira.DevicePath(), "COM2", other.DevicePath()}, env);
  ASSERT_EQ(json.exitStatus, 0) << json.err;
  const nlohmann::json cameras = nlohmann::json::parse(json.out);
  ASSERT_EQ(cameras.size(), 2u);
  EXPECT_EQ(cameras[0], nlohmann::json({{"port", "COM2"},
                                        {"device", lomira.DevicePath()},
                                        {"baud", 9600},
                                        {"vendor_name", "Talbrook"},
                                        {"model_name", "LOMIRA-S"},
                                        {"serial_number", "0012345"},
                                        {"version", "1.0.0.0"},
                                        {"model", "LOMIRA-P/S"}}));
  EXPECT_EQ(cameras[1]["port"], nullptr);
  EXPECT_EQ(cameras[1]["baud"], 38400);
  EXPECT_EQ(cameras[1]["model"], nullptr);

  ExpectOnlyIdentificationReads(lomira);
  ExpectOnlyIdentificationReads(other);

  const ProcessResult none = Tavrelctl({"find", silent.slavePath()});
  EXPECT_EQ(none.exitStatus, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "tavrelctl: no camera answered on the 1 device probed\n");
}

TEST(FindCommand, LeavesADeviceAnotherProgramHoldsUnlessItIsNamed) {
  PtyPair held;
  ASSERT_TRUE(held.ok());
  LockHolder holder(held.slavePath(), LockHolder::kOpenOnly);
  ASSERT_TRUE(holder.Locked());
  const std::vector<std::string> env = {"TAVREL_COM3=" + held.slavePath()};

  const ProcessResult all = Tavrelctl({"find"}, env);
  EXPECT_EQ(all.exitStatus, 1);
  const std::string skipped =
      "tavrelctl: COM3 (" + held.slavePath() + "): skipped, another program is using it: ";
  EXPECT_NE(all.err.find(skipped), std::string::npos) << all.err;

  // Named, it is probed: silent, and nothing said about it.
  const ProcessResult named = Tavrelctl({"find", "COM3"}, env);
  EXPECT_EQ(named.exitStatus, 1);
  EXPECT_EQ(named.err, "tavrelctl: no camera answered on the 1 device probed\n");

  for (const char* wrong : {"COM11", "com0", ""}) {
    SCOPED_TRACE(wrong);
    const ProcessResult usage = Tavrelctl({"find", wrong});
    EXPECT_EQ(usage.exitStatus, 2);
    EXPECT_NE(usage.err.find("CANDIDATE"), std::string::npos) << usage.err;
  }
}

}  // namespace
}  // namespace tavrel
