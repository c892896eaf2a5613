// tavrelctl ports: the COM ports' devices with where each came from, the
// machine's serial devices (from a fake sysfs tree), and assignments that
// tavrelctl --port then follows.
#include "cli/ports_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "model/com_port_directory.h"
#include "sim/pty_camera.h"
#include "tests/support/fake_system_tree.h"
#include "tests/support/file_bytes.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using testing::FakeSystemTree;
using testing::Lines;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::TempFolder;

constexpr char kById[] = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";

struct PortsRun {
  int status = -1;
  std::string out;
  std::string err;
};

// "tavrelctl ports ARGS" in this process, against `directory`.
PortsRun RunPorts(std::vector<std::string> args, const ComPortDirectory& directory) {
  CLI::App app{"tavrelctl"};
  const cli::PortsCommand ports(app);
  args.insert(args.begin(), "ports");
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  PortsRun run;
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    run.err = error.what();
    run.status = 2;
    return run;
  }
  std::ostringstream out;
  std::ostringstream err;
  run.status = ports.Run(directory, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

class PortsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.AddUsbAdapter(
        {"ttyUSB0", "ftdi_sio", "0403", "6001", "A1B2C3", "FTDI", "FT232R USB UART", kById, 2});
    tree.AddUart("ttyS4", "00:01", "4");
    tree.AddPlatformUart("ttyS5", "0");  // no UART behind it
    tree.AddVirtualTerminal("tty1");
  }
  ComPortDirectory Directory(std::map<std::string, std::string> environment = {}) const {
    return ComPortDirectory(folder.File("profile.ini"), tree.Roots(),
                            [environment](const std::string& name) -> std::optional<std::string> {
                              const auto it = environment.find(name);
                              if (it == environment.end()) return std::nullopt;
                              return it->second;
                            });
  }

  TempFolder folder{"tavrel-ports"};
  FakeSystemTree tree{folder.Path()};
};

TEST_F(PortsCommandTest, ListsEachComPortThenTheDevicesFound) {
  const std::string byId = tree.Dev(std::string("serial/by-id/") + kById);
  ASSERT_EQ(Directory().Assign(2, byId), "");
  const PortsRun run = RunPorts({}, Directory({{"TAVREL_COM3", tree.Dev("ttyS4")}}));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 16u) << run.out;
  // Columns are as wide as the widest cell: the by-id name here.
  const std::string pad(byId.size() - tree.Dev("ttyS4").size(), ' ');
  EXPECT_EQ(lines[0].substr(0, 13), "PORT   DEVICE");
  EXPECT_EQ(lines[1].rfind("COM1   /dev/ttyS0 ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "COM2   " + byId + "  profile      yes     yes     no");
  EXPECT_EQ(lines[3], "COM3   " + tree.Dev("ttyS4") + pad + "  environment  yes     yes     no");
  EXPECT_EQ(lines[10].rfind("COM10  /dev/ttyS9 ", 0), 0u) << lines[10];
  EXPECT_EQ(lines[11], "");
  EXPECT_EQ(lines[12], "Serial devices found:");
  const std::string usb0 = tree.Dev("ttyUSB0");
  const std::string s4 = tree.Dev("ttyS4");
  const std::string gap(byId.size() - s4.size(), ' ');
  EXPECT_EQ(lines[13], "ASSIGN AS" + std::string(byId.size() - 9, ' ') + "  DEVICE" +
                           std::string(usb0.size() - 6, ' ') +
                           "  DRIVER    USB ID     SERIAL  DESCRIPTION");
  EXPECT_EQ(lines[14], byId + "  " + usb0 + "  ftdi_sio  0403:6001  A1B2C3  FTDI FT232R USB UART");
  EXPECT_EQ(lines[15], s4 + gap + "  " + s4 + std::string(usb0.size() - s4.size() + 2, ' ') +
                           "serial    -          -       -");
}

TEST_F(PortsCommandTest, JsonForScripts) {
  const PortsRun run = RunPorts({"--json"}, Directory());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  ASSERT_EQ(json["comPorts"].size(), 10u);
  EXPECT_EQ(json["comPorts"][1]["port"], "COM2");
  EXPECT_EQ(json["comPorts"][1]["device"], "/dev/ttyS1");
  EXPECT_EQ(json["comPorts"][1]["source"], "default");
  EXPECT_TRUE(json["comPorts"][1]["holders"].is_array());
  ASSERT_EQ(json["devices"].size(), 2u);
  EXPECT_EQ(json["devices"][0]["device"], tree.Dev("ttyUSB0"));
  EXPECT_EQ(json["devices"][0]["byId"], tree.Dev(std::string("serial/by-id/") + kById));
  EXPECT_EQ(json["devices"][0]["usbId"], "0403:6001");
  EXPECT_EQ(json["devices"][0]["serialNumber"], "A1B2C3");
  EXPECT_EQ(json["devices"][1]["driver"], "serial");
}

// A path is bytes: one that is not UTF-8 is still listed, escaped.
TEST_F(PortsCommandTest, JsonTakesPathsThatAreNotUtf8) {
  const PortsRun run = RunPorts({"--json"}, Directory({{"TAVREL_COM1", "/dev/caf\xE9\\port"}}));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["comPorts"][0]["device"], "/dev/caf\\xE9\\\\port");
}

TEST_F(PortsCommandTest, AssignNotesAStableNameAndAnEnvironmentThatWins) {
  const std::string byId = tree.Dev(std::string("serial/by-id/") + kById);
  PortsRun run =
      RunPorts({"assign", "com1", tree.Dev("ttyUSB0")}, Directory({{"TAVREL_COM1", "/dev/pts/9"}}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "tavrelctl: note: " + byId +
                         " names the same device and stays the same when it is plugged in "
                         "again\ntavrelctl: note: TAVREL_COM1 is set and wins over the profile\n");
  EXPECT_EQ(Directory().Resolve(1).path, tree.Dev("ttyUSB0"));

  run = RunPorts({"assign", "COM10", folder.File("later")}, Directory());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "tavrelctl: note: " + folder.File("later") + " does not exist now\n");

  run = RunPorts({"unassign", "COM1"}, Directory());
  EXPECT_EQ(run.status, 0);
  run = RunPorts({"unassign", "COM10"}, Directory());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadBytes(folder.File("profile.ini")), "");
}

TEST_F(PortsCommandTest, AProfileThatCannotBeWrittenExits4) {
  std::filesystem::create_directories(folder.Path() / "profile.ini");  // a folder in its place
  const PortsRun run = RunPorts({"assign", "COM1", tree.Dev("ttyUSB0")}, Directory());
  EXPECT_EQ(run.status, 4);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

// Ten assignments made at once, each by its own tavrelctl: all ten are kept.
TEST(PortsCommand, AssignmentsMadeAtOnceAreAllKept) {
  TempFolder folder("tavrel-ports");
  const std::string config = "XDG_CONFIG_HOME=" + folder.Path().string();
  std::vector<ProcessResult> results(10);
  std::vector<std::thread> runs;
  for (int port = 1; port <= 10; ++port) {
    runs.emplace_back([&, port] {
      results[static_cast<std::size_t>(port - 1)] =
          RunProcess({TAVRELCTL_PATH, "ports", "assign", "COM" + std::to_string(port),
                      folder.File("adapter" + std::to_string(port))},
                     {config});
    });
  }
  for (std::thread& run : runs) run.join();
  for (const ProcessResult& result : results) EXPECT_EQ(result.exitStatus, 0) << result.err;
  const ComPortDirectory directory(
      folder.File("Talbrook/ TAVREL CONTROL.ini"), {},
      [](const std::string&) -> std::optional<std::string> { return std::nullopt; });
  for (int port = 1; port <= 10; ++port) {
    EXPECT_EQ(directory.Resolve(port).path, folder.File("adapter" + std::to_string(port)))
        << "COM" << port;
  }
}

// The assignment is what "tavrelctl --port N" opens; the environment wins.
TEST(PortsCommand, TavrelctlFollowsTheAssignment) {
  TempFolder folder("tavrel-ports");
  const std::string config = "XDG_CONFIG_HOME=" + folder.Path().string();
  sim::PtyCamera camera(sim::CameraOptions{});
  ProcessResult r =
      RunProcess({TAVRELCTL_PATH, "ports", "assign", "COM4", camera.DevicePath()}, {config});
  ASSERT_EQ(r.exitStatus, 0) << r.err;

  r = RunProcess({TAVRELCTL_PATH, "--port", "4", "get", "GAIN"}, {config});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  r = RunProcess({TAVRELCTL_PATH, "ports"}, {config});
  // The virtual camera keeps its side of the line open, and shows as its holder.
  EXPECT_NE(r.out.find("COM4   " + camera.DevicePath() + "  profile  yes     yes     " +
                       std::to_string(::getpid()) + " ("),
            std::string::npos)
      << r.out;

  r = RunProcess({TAVRELCTL_PATH, "--port", "4", "get", "GAIN"},
                 {config, "TAVREL_COM4=" + folder.File("elsewhere")});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_NE(r.err.find(folder.File("elsewhere") + ": No such file"), std::string::npos) << r.err;

  r = RunProcess({TAVRELCTL_PATH, "ports", "unassign", "COM4"}, {config});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  r = RunProcess({TAVRELCTL_PATH, "--port", "4", "get", "GAIN"}, {config});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_NE(r.err.find("/dev/ttyS3"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrel
