// Which running program takes a settings file opened from the desktop: the
// real program, several at once on a virtual display, each watched over the
// accessibility bus until its window is up; the hand-off channel is then
// asked directly whether a program listens on it.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/accessibility_bus.h"
#include "tests/support/atspi_tree.h"
#include "tests/support/temp_folder.h"

using namespace tavrel::testing;
using namespace std::chrono_literals;

namespace {

constexpr const char* kStartDialog = "Select Communication System";
constexpr const char* kServiceName = "Marbleton service mode";

class HandOffTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bus = new AccessibilityBus();
    if (bus->Ready()) {
      bus->UseInThisProcess();
      connected = ConnectToAccessibilityBus(problem);
    } else {
      problem = bus->Problem();
    }
  }
  static void TearDownTestSuite() {
    delete bus;
    bus = nullptr;
  }

  void SetUp() override {
    if (!connected) GTEST_SKIP() << "no accessibility bus: " << problem;
  }

  // The program under `name` (a link to it in the test's folder), on the
  // test's channel, profile and display.
  ChildProcess Start(const std::string& name, std::vector<std::string> arguments) {
    const std::filesystem::path link = folder.Path() / name;
    if (!std::filesystem::exists(std::filesystem::symlink_status(link))) {
      std::filesystem::create_symlink(TAVREL_PROGRAM, link);
    }
    arguments.insert(arguments.begin(), link.string());
    std::vector<std::string> environment = bus->Environment();
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1");
    environment.push_back("XDG_CONFIG_HOME=" + (folder.Path() / "config").string());
    environment.push_back("TAVREL_INSTANCE_NAME=" + Channel());
    return ChildProcess(arguments, environment, {});
  }

  std::string Channel() const { return (folder.Path() / "channel").string(); }

  // Whether a program accepts connections on the channel now. A channel
  // nobody listens on has no socket, or one left by a program that ended
  // without removing it: either refuses at once.
  bool SomeoneListens() const {
    const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (probe < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, Channel().c_str(), sizeof address.sun_path - 1);
    const bool accepted =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return accepted;
  }

  static inline AccessibilityBus* bus = nullptr;
  static inline bool connected = false;
  static inline std::string problem;
  TempFolder folder{"tavrel-hand-off"};
};

// A program started under the service name or with options is one of its
// own: it does not take files from the desktop, which would otherwise land in
// it and be written to its camera. A plain start takes them, and once it has
// ended, the next plain start does.
TEST_F(HandOffTest, OnlyAPlainStartTakesFilesFromTheDesktop) {
  ChildProcess service = Start(kServiceName, {});
  ASSERT_TRUE(ProgramTree(service.Pid()).WaitForWindow(kStartDialog, 30s));
  EXPECT_FALSE(SomeoneListens()) << "the service-mode program took the channel";

  ChildProcess withOptions =
      Start(kServiceName, {"--simulate", "--connect", "com1:9600", "--model", "LOMIRA-P/S"});
  ASSERT_TRUE(ProgramTree(withOptions.Pid()).WaitForWindow(" LOMIRA-P/S", 30s));
  EXPECT_FALSE(SomeoneListens()) << "the program started with options took the channel";

  // A settings file opened from the desktop finds no program to take it and
  // starts a program of its own, which then takes the later ones.
  const std::string file = (folder.Path() / "camera.tdx").string();
  ChildProcess opened = Start("tavrel", {file});
  ASSERT_TRUE(ProgramTree(opened.Pid()).WaitForWindow(kStartDialog, 30s))
      << "the file went to a running program";
  EXPECT_TRUE(SomeoneListens());

  opened.End();
  ASSERT_FALSE(SomeoneListens());
  ChildProcess next = Start("tavrel", {});
  ASSERT_TRUE(ProgramTree(next.Pid()).WaitForWindow(kStartDialog, 30s));
  EXPECT_TRUE(SomeoneListens());
}

}  // namespace
