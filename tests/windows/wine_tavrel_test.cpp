// tavrel.exe, the window program's Windows build, run under Wine on a virtual
// display beside the Linux program: the same camera, the same command line,
// the same bytes on the line. Its COM1 is a pseudo-terminal served by the
// virtual camera; its board is the Windows build of the CameraLink test
// library.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
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
using testing::TempFolder;
using testing::WindowsPath;
namespace fs = std::filesystem;

const fs::path kTavrelExe = kWindowsBuild / "app" / "tavrel.exe";
const fs::path kFiles = kWindowsBuild / "test-files";

ProcessResult TavrelExe(std::vector<std::string> args, std::vector<std::string> env = {}) {
  return testing::RunUnderWine(kTavrelExe, std::move(args), std::move(env));
}

// The Linux program with the same arguments, with no display, on a profile
// and instance channel of its own; `env` as for the Windows one.
ProcessResult LinuxTavrel(std::vector<std::string> args, std::vector<std::string> env = {},
                          const std::string& program = TAVREL_PATH) {
  const TempFolder home("wine-tavrel-linux");
  args.insert(args.begin(), program);
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back("XDG_CONFIG_HOME=" + home.Path().string());
  env.push_back("TAVREL_INSTANCE_NAME=tavrel-wine-test-" + home.Path().filename().string());
  return RunProcess(args, env);
}

// The command frames a trace shows the PC sending, without their times (and
// without the CR that ends a Windows program's text lines).
std::vector<std::string> SentFrames(const fs::path& trace) {
  std::vector<std::string> frames;
  for (const std::string& line : Lines(testing::UnixLines(ReadBytes(trace)))) {
    const std::size_t at = line.find(" PC->CAM STX");
    if (at != std::string::npos) frames.push_back(line.substr(at));
  }
  return frames;
}

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Removes the prefix's profiles (in the APPDATA folder of each of its users),
// so that a test starts from none; returns their paths.
std::vector<fs::path> RemoveProfiles() {
  std::vector<fs::path> profiles;
  for (const auto& user : fs::directory_iterator(kWindowsBuild / "wine-prefix/drive_c/users")) {
    profiles.push_back(user.path() / "AppData/Roaming/Talbrook/ TAVREL CONTROL.ini");
    fs::remove(profiles.back());
  }
  return profiles;
}

const std::vector<std::string> kOnCom1 = {"--connect", "com1:9600", "--model", "LOMIRA-P/S"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

sim::CameraOptions Lomira() {
  sim::CameraOptions options;
  options.model = "LOMIRA-P/S";
  return options;
}

// Built for the window subsystem, so no console window opens with it; still,
// what it writes reaches a command line that catches it.
TEST(WineTavrel, AWindowProgramThatAnswersOnTheCommandLine) {
  const std::string bytes = ReadBytes(kTavrelExe);
  ASSERT_GT(bytes.size(), 0x200u);
  const auto at = [&bytes](std::size_t offset) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[offset])) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
  };
  const std::size_t header = at(0x3C);
  ASSERT_EQ(bytes.substr(header, 4), std::string("PE\0\0", 4));
  // The optional header's Subsystem field: 2 is IMAGE_SUBSYSTEM_WINDOWS_GUI.
  EXPECT_EQ(at(header + 24 + 68), 2u);

  const ProcessResult help = TavrelExe({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(help.out, LinuxTavrel({"--help"}).out);
  const ProcessResult wrong = TavrelExe({"--no-such-option"});
  EXPECT_EQ(wrong.exitStatus, 2);
  EXPECT_EQ(wrong.err.rfind("tavrel: unknown option --no-such-option\n", 0), 0u) << wrong.err;
}

// The start-up over the Win32 COM port sends what the Linux program sends.
TEST(WineTavrel, StartUpReadsTheCameraAsOnLinux) {
  std::vector<std::string> windows;
  {
    CameraOnCom com1(Lomira());
    const ProcessResult r = TavrelExe(With(kOnCom1, {"--exit-when-shown"}));
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    windows = com1.Camera().ReceivedBodies();
  }
  sim::PtyCamera camera(Lomira());
  const ProcessResult r =
      LinuxTavrel(With(kOnCom1, {"--exit-when-shown"}), {"TAVREL_COM1=" + camera.DevicePath()});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> linux = camera.ReceivedBodies();
  EXPECT_GE(linux.size(), 17u);
  EXPECT_EQ(windows, linux);
}

// One click on the GAIN bar's right arrow, made by the window program's own
// code in a Qt test built for Windows (tests/windows/qt), puts one write on
// the line after the start-up's reads.
TEST(WineTavrel, OneArrowClickPutsOneWriteOnTheLine) {
  CameraOnCom com1(Lomira());
  const ProcessResult r =
      testing::RunUnderWine(kWindowsBuild / "tests/windows/qt/window_program_test.exe",
                            {"arrowClickOnCom1WritesOnce"}, {"QT_FORCE_STDERR_LOGGING=1"});
  ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
  std::vector<std::string> bodies = com1.Camera().ReceivedBodies();

  sim::PtyCamera camera(Lomira());
  ASSERT_EQ(
      LinuxTavrel(With(kOnCom1, {"--exit-when-shown"}), {"TAVREL_COM1=" + camera.DevicePath()})
          .exitStatus,
      0);
  const std::vector<std::string> startUp = camera.ReceivedBodies();
  ASSERT_EQ(bodies.size(), startUp.size() + 1);
  EXPECT_TRUE(std::equal(startUp.begin(), startUp.end(), bodies.begin()));
  // GAIN, common area address 0C, now 1.
  EXPECT_EQ(bodies.back().substr(0, 2), "01");
  EXPECT_EQ(bodies.back().substr(6, 2), "0C") << bodies.back();
  EXPECT_EQ(com1.Camera().ReadRegister(0x01, 0x01, 0x0C),
            (std::array<std::uint8_t, 3>{0x00, 0x01, 0x00}));
}

// Through a CameraLink board: clsersim.dll, found beside the program's
// build the way Windows finds a DLL, is read as the Linux program reads
// libclsersim.so.
TEST(WineTavrel, BoardLibraryIsReadAsOnLinux) {
  fs::create_directories(kFiles);
  const fs::path windowsTrace = kFiles / "board.trace";
  fs::remove(windowsTrace);
  const std::string camera = "TAVREL_CLSERSIM=--model LOMIRA-P/S";
  ProcessResult r = TavrelExe({"--connect", "board:clsersim.dll", "--model", "LOMIRA-P/S",
                               "--trace", WindowsPath(windowsTrace), "--exit-when-shown"},
                              {"WINEPATH=" + WindowsPath(kWindowsBuild), camera});
  ASSERT_EQ(r.exitStatus, 0) << r.err;

  const TempFolder folder("wine-tavrel-board");
  const fs::path linuxTrace = folder.Path() / "board.trace";
  r = LinuxTavrel({"--connect", "board:" + std::string(CLSERSIM_PATH), "--model", "LOMIRA-P/S",
                   "--trace", linuxTrace.string(), "--exit-when-shown"},
                  {camera});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> sent = SentFrames(windowsTrace);
  EXPECT_GE(sent.size(), 17u);
  EXPECT_EQ(sent, SentFrames(linuxTrace));
  EXPECT_NE(ReadBytes(windowsTrace).find("CAM->PC"), std::string::npos);
}

// --screenshot renders every window; the pictures stay in the build folder
// beside the Linux program's, to be looked at side by side.
TEST(WineTavrel, ScreenshotsOfEveryWindow) {
  const fs::path pictures = kWindowsBuild / "screenshots";
  for (const char* system : {"windows", "linux"}) fs::remove_all(pictures / system);
  const std::vector<std::string> args = {"--simulate", "--connect",  "com1:9600",
                                         "--model",    "LOMIRA-P/S", "--screenshot"};
  ProcessResult r = TavrelExe(With(args, {WindowsPath(pictures / "windows")}));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  r = LinuxTavrel(With(args, {(pictures / "linux").string()}));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::set<std::string> names = FileNames(pictures / "windows");
  EXPECT_EQ(names, FileNames(pictures / "linux"));
  EXPECT_EQ(names.size(), 7u);  // the line monitor is the seventh
  for (const std::string& name : names) {
    EXPECT_GT(fs::file_size(pictures / "windows" / name), 1000u) << name;
  }
}

// The menu under the program's own name and under the service name, as a
// copy of the program named so (Windows has no symbolic links for this).
TEST(WineTavrel, MenuUnderEachNameAsOnLinux) {
  const TempFolder folder("wine-tavrel-names");
  const fs::path serviceLink = folder.Path() / "Marbleton service mode";
  fs::create_symlink(TAVREL_PATH, serviceLink);
  fs::create_directories(kFiles);
  const fs::path serviceCopy = kFiles / "Marbleton service mode.exe";
  fs::copy_file(kTavrelExe, serviceCopy, fs::copy_options::overwrite_existing);

  // No recent files in either program's menu.
  RemoveProfiles();
  const std::vector<std::string> args = {"--simulate", "--connect", "com1:9600", "--print-menu"};
  const ProcessResult plain = TavrelExe(args);
  ASSERT_EQ(plain.exitStatus, 0) << plain.err;
  EXPECT_EQ(plain.out, LinuxTavrel(args).out);
  const ProcessResult service = testing::RunUnderWine(serviceCopy, args);
  ASSERT_EQ(service.exitStatus, 0) << service.err;
  EXPECT_EQ(service.out, LinuxTavrel(args, {}, serviceLink.string()).out);
  EXPECT_NE(service.out, plain.out);
  EXPECT_NE(service.out.find("Command Menu"), std::string::npos) << service.out;
}

// tavrelctl.exe and tavrel.exe keep one profile: the serial number one wrote
// stays beside the COM port the other stores at its end.
TEST(WineTavrel, ProfileSharedWithTavrelctl) {
  const std::vector<fs::path> profiles = RemoveProfiles();
  CameraOnCom com1(Lomira());
  fs::create_directories(kFiles);
  ProcessResult r =
      testing::RunUnderWine(kWindowsBuild / "cli" / "tavrelctl.exe",
                            {"--port", "1", "--model", "LOMIRA-P/S", "serial-number", "write",
                             "0012345", "--log", WindowsPath(kFiles / "profile-test.csv")});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  r = TavrelExe(With(kOnCom1, {"--exit-when-shown"}));
  ASSERT_EQ(r.exitStatus, 0) << r.err;

  std::size_t found = 0;
  for (const fs::path& profile : profiles) {
    if (!fs::exists(profile)) continue;
    ++found;
    const std::string text = ReadBytes(profile);
    EXPECT_NE(text.find("LOMIRA-X=12345\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Settings]\nCOM Port=1\n"), std::string::npos) << text;
  }
  EXPECT_EQ(found, 1u);
}

}  // namespace
}  // namespace tavrel
