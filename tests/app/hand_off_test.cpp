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
#include <string>
#include <vector>

#include "tests/support/atspi_tree.h"
#include "tests/support/desktop_test.h"

using namespace tavrel::testing;
using namespace std::chrono_literals;

namespace {

constexpr const char* kStartDialog = "Select Communication System";
constexpr const char* kServiceName = "Marbleton service mode";

class HandOffTest : public DesktopTest {
 protected:
  std::string ProgramPath() const override { return TAVREL_PROGRAM; }

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
