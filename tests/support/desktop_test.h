// A test fixture that runs the window program on a desktop of the test's
// own (a virtual display and an accessibility bus, tests/support/
// accessibility_bus.h) and watches its windows over that bus. Every program
// gets the test's folder for its profile and its hand-off channel, so none
// meets the user's. The tests are skipped when the bus cannot start.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/accessibility_bus.h"
#include "tests/support/atspi_tree.h"
#include "tests/support/temp_folder.h"

namespace tavrel::testing {

class DesktopTest : public ::testing::Test {
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

  // The program file the test runs.
  virtual std::string ProgramPath() const = 0;

  // Starts the program under `name` (a link to it in the test's folder) with
  // `arguments`, speaking on the bus.
  ChildProcess Start(const std::string& name, std::vector<std::string> arguments) {
    const std::filesystem::path link = folder.Path() / name;
    if (!std::filesystem::exists(std::filesystem::symlink_status(link))) {
      std::filesystem::create_symlink(ProgramPath(), link);
    }
    arguments.insert(arguments.begin(), link.string());
    std::vector<std::string> environment = bus->Environment();
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1");
    environment.push_back("XDG_CONFIG_HOME=" + (folder.Path() / "config").string());
    environment.push_back("TAVREL_INSTANCE_NAME=" + Channel());
    return ChildProcess(arguments, environment, {});
  }

  // The programs' instance channel: a socket in the test's folder, gone with
  // it however the programs end.
  std::string Channel() const { return (folder.Path() / "channel").string(); }

  static inline AccessibilityBus* bus = nullptr;
  static inline bool connected = false;
  static inline std::string problem;
  TempFolder folder{"tavrel-desktop"};
};

}  // namespace tavrel::testing
