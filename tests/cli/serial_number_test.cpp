// tavrelctl serial-number write against the virtual camera on a pty: what the
// camera, the window program's profile and the adjustment log end up holding.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "sim/pty_camera.h"
#include "tests/support/file_bytes.h"
#include "tests/support/lock_holder.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::LockHolder;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::TempFolder;

const std::string kHeader =
    "\x93\xfa\x8e\x9e,\x8b\x40\x8e\xed\x96\xbc,\x83\x56\x83\x8a\x83\x41\x83\x8bNo.,"
    "\x95\x57\x8f\x80\x8a\xb4\x93\x78\r\n";

class SerialNumberCommand : public ::testing::Test {
 protected:
  SerialNumberCommand() : camera(Options()) {
    log = (dir / "adjust.csv").string();
    profile = (dir / "config" / "Talbrook" / " TAVREL CONTROL.ini").string();
    // Adjust GAIN 700 in the camera.
    camera.WriteRegister(1, 0x01, 0x1C, {0x02, 0xBC, 0x00});
  }
  static sim::CameraOptions Options() {
    sim::CameraOptions options;
    options.model = "LOMIRA-P/S";
    options.serialNumber = "7654321";
    return options;
  }

  // tavrelctl on the camera, with the profile kept in the test's folder.
  ProcessResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(),
                {TAVRELCTL_PATH, "--device", camera.DevicePath(), "--model", "LOMIRA-P/S"});
    return RunProcess(args, {"XDG_CONFIG_HOME=" + (dir / "config").string()});
  }

  std::string CameraSerialNumber() const {
    const ProcessResult r = Run({"ident"});
    const std::size_t at = r.out.find("Serial Number: ");
    return at == std::string::npos ? r.err : r.out.substr(at + 15, 7);
  }

  sim::PtyCamera camera;
  const TempFolder dir{"tavrelctl-serial"};
  std::string log;
  std::string profile;
};

TEST_F(SerialNumberCommand, WritesTheCameraTheProfileAndOneLogRecord) {
  const ProcessResult r = Run({"serial-number", "write", "0012345", "--log", log});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Command and address of each body: the identification reads, then the
  // unlock right before the digits, then the Adjust GAIN read for the log.
  std::vector<std::string> traffic;
  for (const std::string& body : camera.ReceivedBodies()) traffic.push_back(body.substr(4, 4));
  const auto unlock = std::find(traffic.begin(), traffic.end(), "0160");
  ASSERT_NE(unlock, traffic.end());
  EXPECT_EQ(unlock - traffic.begin(), 5 + 6 + 4);  // "Talbrook", "LOMIRA-P/S", 43..46
  for (auto read = traffic.begin(); read != unlock; ++read) EXPECT_EQ(read->substr(0, 2), "90");
  EXPECT_EQ(std::vector<std::string>(unlock, traffic.end()),
            (std::vector<std::string>{"0160", "1010", "1011", "1012", "1013", "811C"}));

  for (const auto& [entry, value] :
       {std::pair{"43", "12336"}, {"44", "12849"}, {"45", "13363"}, {"46", "53"}}) {
    const ProcessResult get = Run({"get", entry});
    EXPECT_EQ(get.out, std::string(value) + "\n") << entry << get.err;
  }
  EXPECT_EQ(CameraSerialNumber(), "0012345");
  EXPECT_EQ(ReadBytes(profile), "[RECENT]\nLOMIRA-X=12345\n");

  const std::string bytes = ReadBytes(log);
  ASSERT_EQ(bytes.rfind(kHeader, 0), 0u) << bytes;
  const std::regex record(R"(\d{4}\.[ 1]\d\.[ 123]\d \d{1,2}:\d{1,2},LOMIRA-P/S,0012345,700,\r\n)");
  EXPECT_TRUE(std::regex_match(bytes.substr(kHeader.size()), record)) << bytes;
}

TEST_F(SerialNumberCommand, ABadTextIsAUsageErrorAndNothingIsSent) {
  const struct {
    const char* digits;
    const char* message;
  } rows[] = {
      {"001234", "Serial number cannot be written. Please input the number of seven digits. "},
      {"0012a45", "Serial number cannot be written. Please input the decimal number. "},
  };
  for (const auto& row : rows) {
    const ProcessResult r = Run({"serial-number", "write", row.digits, "--log", log});
    EXPECT_EQ(r.exitStatus, 2) << row.digits;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(camera.ReceivedBodies().empty());
  EXPECT_FALSE(fs::exists(log));
  EXPECT_FALSE(fs::exists(profile));
}

TEST_F(SerialNumberCommand, ALockedLogStopsTheWriteBeforeTheCameraIsTouched) {
  std::ofstream(log, std::ios::binary) << "kept\r\n";
  LockHolder holder(log, LockHolder::kFlock);
  ASSERT_TRUE(holder.Locked());
  const ProcessResult r = Run({"serial-number", "write", "0012345", "--log", log});
  EXPECT_EQ(r.exitStatus, 4);
  // Another tavrel would have let go within the wait.
  EXPECT_EQ(r.err, log + " is opend. Please close " + log +
                       "\nheld by another program for more than 5 s\n");
  holder.Release();
  EXPECT_EQ(ReadBytes(log), "kept\r\n");
  EXPECT_TRUE(camera.ReceivedBodies().empty());
  EXPECT_EQ(CameraSerialNumber(), "7654321");
  EXPECT_NE(RunProcess({TAVRELCTL_PATH, "--help"}).out.find("waits up to 5 s"), std::string::npos);
  EXPECT_FALSE(fs::exists(profile));
}

TEST_F(SerialNumberCommand, OnlyASpreadsheetStillAtWorkKeepsTheRecordOut) {
  std::ofstream(log, std::ios::binary) << "kept\r\n";
  const std::string lockFile = (dir / ".~lock.adjust.csv#").string();
  // On another machine: refused at once, naming who has it.
  std::ofstream(lockFile, std::ios::binary)
      << ",anna,station-elsewhere,08.12.2026 21:05,file:///home/anna/.config/sheet/4;";
  ProcessResult r = Run({"serial-number", "write", "0012345", "--log", log});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_EQ(r.err, log + " is opend. Please close " + log +
                       "\nlocked by anna on station-elsewhere since 08.12.2026 21:05\n");
  EXPECT_EQ(ReadBytes(log), "kept\r\n");

  // Left behind, empty, by a spreadsheet that crashed.
  std::ofstream(lockFile, std::ios::binary | std::ios::trunc).flush();
  r = Run({"serial-number", "write", "0012346", "--log", log});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(ReadBytes(log).find(",LOMIRA-P/S,0012346,700,\r\n"), std::string::npos);
}

TEST_F(SerialNumberCommand, ALogThatCannotBeOpenedGivesTheSystemsReason) {
  const struct {
    std::string path;
    const char* reason;
    const char* cameraHolds;  // a full disk is found only by the write of the record
  } rows[] = {
      {(dir / "missing" / "adjust.csv").string(), "No such file or directory", "7654321"},
      {dir.Path().string(), "Is a directory", "7654321"},
      {"/dev/full", "No space left on device", "0012345"},
  };
  for (const auto& row : rows) {
    const ProcessResult r = Run({"serial-number", "write", "0012345", "--log", row.path});
    EXPECT_EQ(r.exitStatus, 4);
    // The message as the window program has it, the reason on the line below.
    EXPECT_EQ(r.err, row.path + " is opend. Please close " + row.path + "\n" + row.reason + "\n");
    EXPECT_EQ(CameraSerialNumber(), row.cameraHolds) << row.path;
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(SerialNumberCommand, ALinkFailureIsExitThreeAndKeepsWhatWasWritten) {
  // Five vendor-name reads ("Talbrook" and its end), six model-name reads,
  // four serial-number reads, the unlock and entry 43 go through; then the
  // camera stops answering.
  camera.AddFault({sim::FaultKind::kEnqNak, -1, 1 + 5 + 6 + 4 + 1});
  const ProcessResult r = Run({"serial-number", "write", "0012345", "--log", log});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_NE(r.err.find("ERROR - "), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(log));
  EXPECT_FALSE(fs::exists(profile));
  const auto first = camera.ReadRegister(1, 0x10, 0x10);
  EXPECT_EQ(first[0], '0');
  EXPECT_EQ(first[1], '0');
  const auto second = camera.ReadRegister(1, 0x10, 0x11);
  EXPECT_EQ(second[0], '5');  // entry 44 still holds "54"
}

TEST_F(SerialNumberCommand, TheDefaultLogIsInTheCurrentFolder) {
  const ProcessResult r =
      RunProcess({"/bin/sh", "-c",
                  "cd \"$1\" && exec \"$2\" --device \"$3\" --model LOMIRA-P/S serial-number write "
                  "0000001",
                  "sh", dir.Path().string(), TAVRELCTL_PATH, camera.DevicePath()},
                 {"XDG_CONFIG_HOME=" + (dir / "config").string()});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(ReadBytes(dir / "TAVREL_Camera_AdjustData.csv").find(",LOMIRA-P/S,0000001,700,\r\n"),
            std::string::npos);
}

TEST(SerialNumberCommandOnABoard, TheCameraLinkSerialChannelCarriesTheSameWrite) {
  const TempFolder dir("tavrelctl-board");
  const std::string log = (dir / "adjust.csv").string();
  // The camera refuses the digits unless the unlock went through first.
  const ProcessResult r =
      RunProcess({TAVRELCTL_PATH, "--board", CLSERSIM_PATH, "--model", "TEMBRA-P/S",
                  "serial-number", "write", "0012345", "--log", log},
                 {"XDG_CONFIG_HOME=" + (dir / "config").string(),
                  "TAVREL_CLSERSIM=--model TEMBRA-P/S --serial-number 7654321"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(ReadBytes(log).find(",TEMBRA-P/S,0012345,"), std::string::npos) << ReadBytes(log);
}

}  // namespace
}  // namespace tavrel
