// tavrelctl.exe, the Windows build, run under Wine: its COM1 is a pseudo-
// terminal served by the virtual camera, and its board is the Windows build
// of the CameraLink test library.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/run_process.h"
#include "tests/support/text_lines.h"
#include "tests/windows/wine_rig.h"

namespace tavrel {
namespace {

using testing::CameraOnCom;
using testing::kWindowsBuild;
using testing::Lines;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::WindowsPath;
namespace fs = std::filesystem;

ProcessResult TavrelctlExe(std::vector<std::string> args, std::vector<std::string> env = {}) {
  return testing::RunUnderWine(kWindowsBuild / "cli" / "tavrelctl.exe", std::move(args),
                               std::move(env));
}

TEST(WineTavrelctl, ReadAllThroughCom1) {
  for (const auto& [model, count] : {std::pair{"LOMIRA-P/S", 17u}, std::pair{"KESTRA-P/S", 50u}}) {
    sim::CameraOptions options;
    options.model = model;
    CameraOnCom com1(options);
    const ProcessResult r = TavrelctlExe({"--port", "1", "--model", model, "read-all"});
    ASSERT_EQ(r.exitStatus, 0) << model << ": " << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), count) << model << ": " << r.out;
    EXPECT_EQ(lines.front(), "0\tAGC MODE\t0");
    EXPECT_EQ(lines[10].rfind("10\tGAIN\t", 0), 0u);
  }
}

TEST(WineTavrelctl, SetThenGetThroughCom1) {
  CameraOnCom com1;
  ProcessResult r = TavrelctlExe({"--port", "1", "set", "gain", "300"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  // 300 with a two-byte range goes out most significant byte first.
  EXPECT_EQ(com1.Camera().ReadRegister(0x01, 0x01, 0x0C),
            (std::array<std::uint8_t, 3>{0x01, 0x2C, 0x00}));

  com1.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x7B, 0x00});
  const fs::path trace = kWindowsBuild / "test-files" / "line.trace";
  fs::create_directories(trace.parent_path());
  fs::remove(trace);
  r = TavrelctlExe({"--port", "1", "--trace", WindowsPath(trace), "get", "GAIN"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "123\n");
  // The line trace shows both ways: the read command and the camera's reply.
  const std::string traced = ReadBytes(trace);
  EXPECT_NE(traced.find("PC->CAM STX 30 31 46 46 38 31 30 43"), std::string::npos) << traced;
  EXPECT_NE(traced.find("CAM->PC"), std::string::npos) << traced;
  EXPECT_NE(traced.find("30 30 37 42 30 30 ETX"), std::string::npos) << traced;
}

TEST(WineTavrelctl, SettingsFilesStayBinary) {
  const fs::path folder = kWindowsBuild / "test-files";
  fs::create_directories(folder);
  const fs::path fromExe = folder / "exe.tdx";
  const fs::path fromLinux = folder / "linux.tdx";
  fs::remove(fromExe);
  fs::remove(fromLinux);
  {
    CameraOnCom com1;
    // Values whose file bytes a text-mode file would change: LF in GAIN 266,
    // and BLACK LEVEL 26, Ctrl-Z, which ends a text-mode read.
    com1.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x01, 0x0A, 0x00});
    com1.Camera().WriteRegister(0x01, 0x01, 0x17, {0x1A, 0x00, 0x00});
    for (int save = 0; save < 2; ++save) {  // the second replaces the first
      const ProcessResult r = TavrelctlExe({"--port", "1", "save", WindowsPath(fromExe)});
      ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    const ProcessResult r = RunProcess(
        {TAVRELCTL_PATH, "--device", com1.Camera().DevicePath(), "save", fromLinux.string()});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  ASSERT_EQ(ReadBytes(fromExe).size(), 540u);
  EXPECT_EQ(ReadBytes(fromExe), ReadBytes(fromLinux));

  CameraOnCom fresh;
  const ProcessResult r = TavrelctlExe({"--port", "1", "load", WindowsPath(fromExe)});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(fresh.Camera().ReadRegister(0x01, 0x01, 0x0C),
            (std::array<std::uint8_t, 3>{0x01, 0x0A, 0x00}));
  EXPECT_EQ(fresh.Camera().ReadRegister(0x01, 0x01, 0x17)[0], 0x1A);
}

TEST(WineTavrelctl, SerialNumberWriteAppendsBinaryRecordsToTheLog) {
  const fs::path folder = kWindowsBuild / "test-files";
  fs::create_directories(folder);
  const fs::path log = folder / "adjust.csv";
  fs::remove(log);
  sim::CameraOptions options;
  options.model = "LOMIRA-P/S";
  CameraOnCom com1(options);
  // The profile goes to the prefix user's APPDATA folder.
  std::vector<fs::path> profiles;
  for (const auto& user : fs::directory_iterator(kWindowsBuild / "wine-prefix/drive_c/users")) {
    profiles.push_back(user.path() / "AppData/Roaming/Talbrook/ TAVREL CONTROL.ini");
    fs::remove(profiles.back());
  }
  for (const char* digits : {"0012345", "0012346"}) {
    const ProcessResult r = TavrelctlExe({"--port", "1", "--model", "LOMIRA-P/S", "serial-number",
                                          "write", digits, "--log", WindowsPath(log)});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  // The second write's digits are in the camera (INFO 0x10-0x13 hold them).
  EXPECT_EQ(com1.Camera().ReadRegister(0x01, 0x10, 0x13)[0], '6');

  // One Shift-JIS header, then one CR LF record per write, nothing doubled.
  const std::string bytes = ReadBytes(log);
  EXPECT_EQ(bytes.find("\x93\xfa\x8e\x9e,"), 0u) << bytes;
  const std::size_t first = bytes.find(",LOMIRA-P/S,0012345,");
  const std::size_t second = bytes.find(",LOMIRA-P/S,0012346,");
  ASSERT_NE(first, std::string::npos) << bytes;
  ASSERT_NE(second, std::string::npos) << bytes;
  EXPECT_LT(first, second);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << bytes;
  std::size_t lines = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
       at = bytes.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 3u);

  std::size_t written = 0;
  for (const fs::path& profile : profiles) {
    if (!fs::exists(profile)) continue;
    ++written;
    EXPECT_EQ(ReadBytes(profile), "[RECENT]\nLOMIRA-X=12346\n");
  }
  EXPECT_EQ(written, 1u);
}

// Windows programs editing the profile at once: each holds the lock file's
// lock from its read to its replace, so every edit is kept.
TEST(WineTavrelctl, ProfileWritersAtOnceKeepEveryEdit) {
  const fs::path folder = kWindowsBuild / "test-files" / "profile-writers";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path profile = folder / "profile.ini";
  constexpr int kWriters = 3;
  constexpr int kEdits = 15;
  std::vector<ProcessResult> results(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      results[static_cast<std::size_t>(w)] = testing::RunUnderWine(
          kWindowsBuild / "profile_writer.exe",
          {WindowsPath(profile), "Writer", "w" + std::to_string(w) + "-", std::to_string(kEdits)});
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (const ProcessResult& result : results) EXPECT_EQ(result.exitStatus, 0) << result.err;
  const std::string text = ReadBytes(profile);
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kEdits; ++i) {
      const std::string line =
          "\nw" + std::to_string(w) + "-" + std::to_string(i) + "=" + std::to_string(i) + "\n";
      EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
  }
}

TEST(WineTavrelctl, Com10IsReachedByItsDeviceName) {
  CameraOnCom com10({}, 10);
  com10.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x07, 0x00});
  const ProcessResult r = TavrelctlExe({"--port", "10", "get", "GAIN"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "7\n");
}

// find on Windows probes one port after another; the camera on COM1 answers
// at its own rate only, and gets read commands alone.
TEST(WineTavrelctl, FindNamesThePortRateAndModel) {
  sim::CameraOptions options;
  options.model = "LOMIRA-P/S";
  options.modelName = "LOMIRA-S";
  options.lineBaud = 19200;
  CameraOnCom com1(options);
  const ProcessResult r = TavrelctlExe({"find", "COM1"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "COM1\t\\\\.\\COM1\t19200\tLOMIRA-S\t0012345\tLOMIRA-P/S\n");
  for (const std::string& body : com1.Camera().ReceivedBodies()) {
    EXPECT_EQ(body.substr(0, 6), "01FF90") << body;
  }
}

TEST(WineTavrelctl, AReadThatTimesOutEndsAndTheNextHandshakeGoesThrough) {
  CameraOnCom com1;
  com1.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x2A, 0x00});
  // The first ENQ goes unanswered: its ACK read must end at its deadline.
  com1.Camera().AddFault({sim::FaultKind::kEnqSilent, 1, 0});
  const ProcessResult r = TavrelctlExe({"--port", "1", "get", "GAIN"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "42\n");
}

TEST(WineTavrelctl, LinkFailuresExit3WithTheErrorLine) {
  {
    CameraOnCom com1;
    com1.Camera().AddFault({sim::FaultKind::kEnqNak, -1, 0});
    const ProcessResult r = TavrelctlExe({"--port", "1", "get", "GAIN"});
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.err, "ERROR - Unexpected character received from camera unit.\n");
    EXPECT_EQ(r.out, "");
  }
  // COM9 is no device in the prefix (unless Wine gave it to a serial port of
  // this machine).
  if (fs::exists(fs::symlink_status(kWindowsBuild / "wine-prefix" / "dosdevices" / "com9"))) {
    GTEST_SKIP() << "this machine's serial ports reach COM9 in the Wine prefix";
  }
  const ProcessResult r = TavrelctlExe({"--port", "9", "read-all"});
  EXPECT_EQ(r.exitStatus, 3);
  // The system's reason, then the ports there are, in number order.
  const auto lines = Lines(r.err);
  ASSERT_EQ(lines.size(), 3u) << r.err;
  EXPECT_EQ(lines[0], "ERROR - Can not open communciation port.");
  EXPECT_EQ(lines[1].rfind("\\\\.\\COM9: ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("Serial ports found: COM1, ", 0), 0u) << lines[2];
  const std::size_t com10 = lines[2].find("COM10");
  EXPECT_NE(com10, std::string::npos) << lines[2];
  EXPECT_LT(com10, lines[2].find("COM12")) << lines[2];
}

// What COM1 stands for is kept in the prefix user's profile; each test that
// assigns it takes the assignment out again, whatever happens.
class Com1Assignment {
 public:
  ~Com1Assignment() { TavrelctlExe({"ports", "unassign", "COM1"}); }
};

// An adapter on COM12 is found and assigned to COM1, then reached by
// "--port 1" (COM1's own link leads nowhere meanwhile).
TEST(WineTavrelctl, PortsListsCom12AndAnAssignmentLeadsCom1There) {
  CameraOnCom camera({}, 12);
  camera.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x7B, 0x00});
  ProcessResult r = TavrelctlExe({"ports"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::size_t found = r.out.find("Serial devices found:");
  ASSERT_NE(found, std::string::npos) << r.out;
  const std::string listed = r.out.substr(found);
  const std::size_t com10 = listed.find("\nCOM10 ");
  const std::size_t com12 = listed.find("\nCOM12 ");
  ASSERT_NE(com12, std::string::npos) << r.out;
  EXPECT_LT(listed.find("\nCOM1 "), com10) << r.out;
  EXPECT_LT(com10, com12) << r.out;
  EXPECT_NE(r.out.find("\nCOM1   \\\\.\\COM1 "), std::string::npos) << r.out;

  const Com1Assignment undo;
  // A Windows port's name, in either form; nothing else.
  r = TavrelctlExe({"ports", "assign", "COM1", "/dev/ttyS0"});
  EXPECT_EQ(r.exitStatus, 2) << r.err;
  r = TavrelctlExe({"ports", "assign", "COM1", "com12"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  r = TavrelctlExe({"ports", "--json"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const nlohmann::json listing = nlohmann::json::parse(r.out);
  const nlohmann::json& com1 = listing.at("comPorts").at(0);
  EXPECT_EQ(com1.at("port"), "COM1");
  // (a backslash of a text is written as two, as every text of the system's)
  EXPECT_EQ(com1.at("device"), "\\\\\\\\.\\\\COM12");
  EXPECT_EQ(com1.at("source"), "profile");
  EXPECT_EQ(com1.at("exists"), true);
  EXPECT_TRUE(com1.at("busy").is_null());  // Windows does not tell
  r = TavrelctlExe({"--port", "1", "get", "GAIN"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "123\n");
}

// The Windows COM port must carry the protocol's recovery exactly as the
// POSIX one does: the same camera misbehaviour gives the same outcome.
TEST(WineTavrelctl, CameraFaultsEndAsOnLinux) {
  struct Case {
    const char* name;
    sim::Fault fault;
  };
  const Case cases[] = {
      {"one bad checksum", {sim::FaultKind::kBadChecksum, 1, 0}},
      {"bad checksums", {sim::FaultKind::kBadChecksum, -1, 0}},
      {"lower-case checksum", {sim::FaultKind::kLowerChecksum, -1, 0}},
      {"one bad value", {sim::FaultKind::kBadValue, 1, 0}},
      {"noise before the reply", {sim::FaultKind::kGarbage, 1, 0}},
      {"two refused ENQs", {sim::FaultKind::kEnqNak, 2, 0}},
      {"line hung up", {sim::FaultKind::kHangup, 1, 0}},
  };
  for (const Case& c : cases) {
    sim::CameraOptions options;
    options.faults = {c.fault};
    ProcessResult linux;
    std::string linuxDevice;
    {
      sim::PtyCamera camera(options);
      camera.WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x2A, 0x00});
      linuxDevice = camera.DevicePath();
      linux = RunProcess({TAVRELCTL_PATH, "--device", camera.DevicePath(), "get", "GAIN"});
    }
    CameraOnCom com1(options);
    com1.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x2A, 0x00});
    const ProcessResult windows = TavrelctlExe({"--port", "1", "get", "GAIN"});
    EXPECT_EQ(windows.exitStatus, linux.exitStatus) << c.name << ": " << windows.err;
    EXPECT_EQ(windows.out, linux.out) << c.name;
    if (c.fault.kind == sim::FaultKind::kHangup) {
      // Both tell the hang-up they saw below the same error line, each
      // naming its own device.
      const auto errorLine = [](const std::string& err) { return err.substr(0, err.find('\n')); };
      EXPECT_EQ(errorLine(windows.err), errorLine(linux.err)) << windows.err;
      EXPECT_EQ(windows.err, errorLine(windows.err) + "\n\\\\.\\COM1: the device went away\n");
      EXPECT_EQ(linux.err, errorLine(linux.err) + "\n" + linuxDevice + ": the device went away\n");
      continue;
    }
    EXPECT_EQ(windows.err, linux.err) << c.name;
  }
}

// A transmitter that never empties (the line's output stopped, as by a
// flow-control stop that is never lifted): every ENQ runs out of time, and
// the error tells the time-out, not an older or a software error.
TEST(WineTavrelctl, WritesThatRunOutOfTimeReportTheTimeOut) {
  CameraOnCom com1;
  // Opened before the program opens the port, which then keeps it for itself.
  const int line = ::open(com1.Camera().DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(line, 0);
  ASSERT_EQ(tcflow(line, TCOOFF), 0);
  const ProcessResult r = TavrelctlExe({"--port", "1", "get", "GAIN"});
  ::close(line);
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err.rfind("ERROR - Communication time out detected.", 0), 0u) << r.err;
  EXPECT_TRUE(com1.Camera().ReceivedBodies().empty());
}

// How often `name` (ACK, ENQ ...) stands among the bytes a camera trace
// shows going `direction` ("PC->CAM").
int CountTraced(const std::string& trace, const std::string& direction, const std::string& name) {
  int count = 0;
  for (const std::string& line : Lines(trace)) {
    const std::string bytes = line.substr(0, line.find("  |"));  // without the text column
    if (bytes.find(" " + direction + " ") == std::string::npos) continue;
    for (std::size_t at = bytes.find(" " + name); at != std::string::npos;
         at = bytes.find(" " + name, at + 1)) {
      const std::size_t end = at + 1 + name.size();
      if (end == bytes.size() || bytes[end] == ' ') ++count;
    }
  }
  return count;
}

// A camera that reads its line slowly (paced at 9600 baud, answering after a
// pause) still has the PC's ACK of a reply to read when the next command
// begins: the command's purge must leave it on the line.
TEST(WineTavrelctl, EveryReplyIsAcknowledgedToASlowCamera) {
  const fs::path trace = kWindowsBuild / "test-files" / "slow-camera.trace";
  fs::create_directories(trace.parent_path());
  fs::remove(trace);
  sim::CameraOptions options;
  options.paceBaud = 9600;
  options.turnaroundMs = 5;
  options.traceFile = trace.string();
  CameraOnCom com1(options);
  ProcessResult r = TavrelctlExe({"--port", "1", "read-all"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  ASSERT_EQ(Lines(r.out).size(), 50u) << r.out;
  // Once the camera has answered one more command, it has read the last ACK.
  r = TavrelctlExe({"--port", "1", "send", "01FF010C000100"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::string traced = ReadBytes(trace);
  EXPECT_EQ(CountTraced(traced, "CAM->PC", "STX"), 50) << traced;
  EXPECT_EQ(CountTraced(traced, "PC->CAM", "ACK"), 50) << traced;
}

TEST(WineTavrelctl, BoardLibraryByItsDllName) {
  const std::vector<std::string> dllFolder = {"WINEPATH=" + WindowsPath(kWindowsBuild)};
  std::vector<std::string> env = dllFolder;
  env.push_back("TAVREL_CLSERSIM=--model LOMIRA-P/S --serial-number 0070707");
  ProcessResult r =
      TavrelctlExe({"--board", "clsersim.dll", "--model", "LOMIRA-P/S", "ident"}, env);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[1], "Model: LOMIRA-P/S");
  EXPECT_EQ(lines[2], "Serial Number: 0070707");

  r = TavrelctlExe({"--board", "clsersim.dll", "--model", "LOMIRA-P/S", "read-all"}, env);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 17u) << r.out;

  env = dllFolder;
  env.push_back("TAVREL_CLSERSIM=--init-fail");
  r = TavrelctlExe({"--board", "clsersim.dll", "read-all"}, env);
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_NE(r.err.find("Bord Open Error"), std::string::npos) << r.err;

  r = TavrelctlExe({"--board", "no-such-board.dll", "read-all"}, dllFolder);
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err, "ERROR - Can not open communciation port.\n");
}

// Names outside the system's code page (Wine's, as a Western Windows's, is
// 1252): a settings file and the folder it is in are saved, loaded and named
// in messages whole.
TEST(WineTavrelctl, JapaneseFileNamesAreSavedLoadedAndNamedWhole) {
  const fs::path folder = kWindowsBuild / "test-files" / "カメラ設定";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path file = folder / "テスト.tdx";
  {
    CameraOnCom com1;
    com1.Camera().WriteRegister(0x01, 0x01, 0x0C, {0x01, 0x2C, 0x00});
    const ProcessResult r = TavrelctlExe({"--port", "1", "save", WindowsPath(file)});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  ASSERT_EQ(ReadBytes(file).size(), 540u);

  CameraOnCom fresh;
  ProcessResult r = TavrelctlExe({"--port", "1", "load", WindowsPath(file)});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(fresh.Camera().ReadRegister(0x01, 0x01, 0x0C),
            (std::array<std::uint8_t, 3>{0x01, 0x2C, 0x00}));

  r = TavrelctlExe({"--port", "1", "load", WindowsPath(folder / "無い.tdx")});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("無い.tdx: No such file or directory"), std::string::npos) << r.err;

  // Another program's file is named without its folder, as Windows writes it.
  const fs::path foreign = folder / "違う.tdx";
  std::ofstream(foreign, std::ios::binary) << "\x17TAV-DX Data Version9.99";
  r = TavrelctlExe({"--port", "1", "load", WindowsPath(foreign)});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("File \"違う.tdx\" does not contain"), std::string::npos) << r.err;
}

// The user's application-data folder as the system names it, in a profile
// folder whose name is Japanese: the serial number written is kept there.
TEST(WineTavrelctl, ProfileInAUserFolderWithAJapaneseName) {
  const fs::path appData = kWindowsBuild / "test-files" / "ユーザー" / "AppData";
  fs::remove_all(appData.parent_path());
  fs::create_directories(appData);
  const testing::ShellFolderOverride roaming("AppData", WindowsPath(appData));
  sim::CameraOptions options;
  options.model = "LOMIRA-P/S";
  CameraOnCom com1(options);
  const fs::path log = appData.parent_path() / "調整ログ.csv";
  const ProcessResult r = TavrelctlExe({"--port", "1", "--model", "LOMIRA-P/S", "serial-number",
                                        "write", "0012345", "--log", WindowsPath(log)});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(ReadBytes(appData / "Talbrook" / " TAVREL CONTROL.ini"), "[RECENT]\nLOMIRA-X=12345\n");
  EXPECT_NE(ReadBytes(log).find(",LOMIRA-P/S,0012345,"), std::string::npos);
}

// A board library is never loaded from the current folder: one planted in
// the folder a user works in is not run, while the same file found through
// PATH is.
TEST(WineTavrelctl, ALibraryInTheCurrentFolderIsNotLoaded) {
  const fs::path folder = kWindowsBuild / "test-files" / "planted";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy_file(kWindowsBuild / "clsersim.dll", folder / "clsersim.dll");
  const std::vector<std::string> args = {"--board", "clsersim.dll", "--model", "LOMIRA-P/S",
                                         "ident"};
  ProcessResult r =
      testing::RunUnderWine(kWindowsBuild / "cli" / "tavrelctl.exe", args, {}, 90, folder);
  EXPECT_EQ(r.exitStatus, 3) << r.out;
  EXPECT_EQ(r.err, "ERROR - Can not open communciation port.\n");

  r = testing::RunUnderWine(kWindowsBuild / "cli" / "tavrelctl.exe", args,
                            {"WINEPATH=" + WindowsPath(folder)}, 90, folder);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
}

// The help speaks of Windows' own names for a port.
TEST(WineTavrelctl, HelpGivesWindowsExamples) {
  const ProcessResult r = TavrelctlExe({"--help"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.out.find("tavrelctl --port 3 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("tavrelctl --device \\\\.\\COM12 "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("/dev/"), std::string::npos) << r.out;
}

TEST(WineTavrelctl, SimulateAnswersWithoutAPty) {
  const fs::path trace = kWindowsBuild / "test-files" / "simulate.trace";
  fs::create_directories(trace.parent_path());
  fs::remove(trace);
  const ProcessResult r = TavrelctlExe(
      {"--simulate", "--model", "PAVON-P/S", "--trace", WindowsPath(trace), "read-all"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 17u) << r.out;
  EXPECT_NE(ReadBytes(trace).find("CAM->PC ACK"), std::string::npos);
}

}  // namespace
}  // namespace tavrel
