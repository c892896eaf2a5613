// tavrelctl diff: a settings file against the virtual camera on a pty, and two
// files against each other with no link.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/pty_camera.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

using testing::ProcessResult;
using testing::RunProcess;
using testing::TempFolder;

// Nothing is behind COM5: a command that opened it would exit 3.
const std::vector<std::string> kNoCamera = {"TAVREL_COM5=/nonexistent/tavrel-test-port"};

ProcessResult Tavrelctl(std::vector<std::string> args, std::vector<std::string> env = {}) {
  args.insert(args.begin(), TAVRELCTL_PATH);
  return RunProcess(args, env);
}

ProcessResult DiffWithoutCamera(std::vector<std::string> args) {
  args.insert(args.begin(), {"--port", "5", "diff"});
  return Tavrelctl(args, kNoCamera);
}

// A settings file of 129 values, all 0 but those given.
void WriteSettings(const std::string& path, const std::map<int, std::int32_t>& values) {
  std::ofstream file(path, std::ios::binary);
  file << '\x17' << "TAV-DX Data Version1.00";
  for (int index = 0; index < 129; ++index) {
    const auto found = values.find(index);
    const auto bits = static_cast<std::uint32_t>(found == values.end() ? 0 : found->second);
    for (int shift = 0; shift < 32; shift += 8) file.put(static_cast<char>((bits >> shift) & 0xFF));
  }
}

TEST(TavrelctlDiff, TheCameraAgreesWithItsSavedFileUntilAnEntryIsSet) {
  const TempFolder dir("tavrelctl-diff");
  const std::string line = dir.File("line4.tdx");
  sim::PtyCamera camera(sim::CameraOptions{});
  const std::string device = camera.DevicePath();
  ASSERT_EQ(Tavrelctl({"--device", device, "save", line}).exitStatus, 0);

  ProcessResult r = Tavrelctl({"--device", device, "diff", line});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "");
  r = Tavrelctl({"--device", device, "diff", line, "--json"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "[]\n");

  ASSERT_EQ(Tavrelctl({"--device", device, "set", "GAIN", "300"}).exitStatus, 0);
  r = Tavrelctl({"--device", device, "diff", line});
  EXPECT_EQ(r.exitStatus, 1) << r.err;
  EXPECT_EQ(r.out, "10\tGAIN\t0\t300\n");
  EXPECT_EQ(r.err, "");

  r = Tavrelctl({"--device", device, "diff", line, "--json"});
  EXPECT_EQ(r.exitStatus, 1) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out),
            nlohmann::json::parse(R"([{"index": 10, "name": "GAIN", "left": 0, "right": 300}])"));

  // The access value is read but never written by loading a file: only --all
  // sees it.
  ASSERT_EQ(Tavrelctl({"--device", device, "set", "GAIN", "0"}).exitStatus, 0);
  ASSERT_EQ(Tavrelctl({"--device", device, "set", "Password", "7"}).exitStatus, 0);
  EXPECT_EQ(Tavrelctl({"--device", device, "diff", line}).exitStatus, 0);
  r = Tavrelctl({"--device", device, "diff", line, "--all"});
  EXPECT_EQ(r.exitStatus, 1) << r.err;
  EXPECT_EQ(r.out, "49\tPassword\t0\t7\n");
}

TEST(TavrelctlDiff, TwoFilesAreComparedWithoutALink) {
  const TempFolder dir("tavrelctl-diff");
  const std::string left = dir.File("left.tdx");
  const std::string right = dir.File("right.tdx");
  // 12 is written on every model; 20 only where entry 17 is in use; 27 is
  // identification, 60 in use nowhere.
  WriteSettings(left, {{12, 25}, {20, 1}});
  WriteSettings(right, {{12, 5}, {27, 0x4142}, {60, 9}});
  const struct {
    std::vector<std::string> args;
    int exitStatus;
    const char* out;
  } rows[] = {
      {{"diff", left, left}, 0, ""},
      {{"diff", left, right}, 1, "12\tBLACK LEVEL\t25\t5\n20\tH2\t1\t0\n"},
      {{"diff", right, left}, 1, "12\tBLACK LEVEL\t5\t25\n20\tH2\t0\t1\n"},
      {{"diff", "--all", left, right},
       1,
       "12\tBLACK LEVEL\t25\t5\n20\tH2\t1\t0\n27\tVendor Name\t0\t16706\n"},
      {{"--model", "LOMIRA-P/S", "diff", left, right}, 1, "12\tBLACK LEVEL\t25\t5\n"},
      {{"--model", "LOMIRA-P/S", "diff", left, left, "--json"}, 0, "[]\n"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {"--port", "5"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ProcessResult r = Tavrelctl(args, kNoCamera);
    EXPECT_EQ(r.exitStatus, row.exitStatus) << r.err;
    EXPECT_EQ(r.out, row.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(TavrelctlDiff, AFileThatIsNotASettingsFileExits4BeforeTheLinkOpens) {
  const TempFolder dir("tavrelctl-diff");
  const std::string good = dir.File("good.tdx");
  WriteSettings(good, {});
  const std::string foreign = dir.File("foreign.tdx");
  std::ofstream(foreign, std::ios::binary)
      << '\x17' << "TAV-DX Data Version1.01" << std::string(516, '\0');
  const std::string cut = dir.File("cut.tdx");
  std::ofstream(cut, std::ios::binary)
      << '\x17' << "TAV-DX Data Version1.00" << std::string(76, '\0');
  const std::string empty = dir.File("empty.tdx");
  std::ofstream(empty, std::ios::binary).flush();
  const std::string missing = dir.File("missing.tdx");
  const struct {
    std::vector<std::string> files;
    std::string says;
  } rows[] = {
      {{foreign},
       "File type mismatch. File \"foreign.tdx\" does not contain data for  TAVREL CONTROL "
       "apprication.\n"},
      {{good, foreign}, "File type mismatch. File \"foreign.tdx\""},
      {{cut}, "Unexpected file format. " + cut + ": the file ends after 19 of 129 values\n"},
      {{good, empty}, "Unexpected file format. " + empty + ": the file is empty\n"},
      {{missing, good}, "Failed to open document. " + missing + ": No such file or directory\n"},
      {{dir.Path().string()},
       "Failed to open document. " + dir.Path().string() + ": Is a directory\n"},
  };
  for (const auto& row : rows) {
    // With one file the camera would be opened next; COM5 has none.
    const ProcessResult r = DiffWithoutCamera(row.files);
    EXPECT_EQ(r.exitStatus, 4) << row.files.back() << ": " << r.err;
    EXPECT_EQ(r.err.rfind(row.says, 0), 0u) << r.err;
    EXPECT_EQ(r.err.find("ERROR - "), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(TavrelctlDiff, UsageAndCameraFailuresExitAsTheOtherCommandsDo) {
  const TempFolder dir("tavrelctl-diff");
  const std::string file = dir.File("line4.tdx");
  WriteSettings(file, {});
  const struct {
    std::vector<std::string> args;
    const char* says;
  } usage[] = {
      {{}, "FILE1 is required"},
      {{file, file, file}, "not expected"},
      {{"--jsn", file}, "--jsn"},
      // Not the camera instead.
      {{file, ""}, "FILE2: must not be empty"},
  };
  for (const auto& row : usage) {
    const ProcessResult r = DiffWithoutCamera(row.args);
    EXPECT_EQ(r.exitStatus, 2) << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
  }

  // The camera is read as read-all reads it; a failure prints the error line
  // and no comparison.
  ProcessResult r = DiffWithoutCamera({file});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err.rfind("ERROR - Can not open communciation port.\n", 0), 0u) << r.err;
  sim::PtyCamera camera(sim::CameraOptions{});
  camera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
  r = Tavrelctl({"--device", camera.DevicePath(), "diff", file});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err, "ERROR - Unexpected character received from camera unit.\n");
  EXPECT_EQ(r.out, "");

  r = Tavrelctl({"diff", "--help"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_NE(r.out.find("tavrelctl diff line4.tdx && echo OK"), std::string::npos) << r.out;
  r = Tavrelctl({"--help"});
  EXPECT_NE(r.out.find("tavrelctl diff line4.tdx && echo OK"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tavrel
