// Opening a terminal for this program alone, and setting its line: the
// failures come back as values (path, the system's error number, its
// reason), whatever errno says afterwards; the line settings are read back
// from the pseudo-terminal's other side.
#include "serial/terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>
#include <string>

#include "tests/support/pty_pair.h"

namespace tavrel {
namespace {

TEST(Terminal, FailuresSayWhichDeviceAndWhy) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TerminalOpening held = OpenTerminal(pty.slavePath());
  ASSERT_TRUE(held.terminal) << held.failure.reason;
  EXPECT_EQ(held.failure.errorNumber, 0);
  struct Case {
    std::string path;
    int errorNumber;
    std::string reason;
  };
  const Case cases[] = {
      {"/nonexistent/tty", ENOENT, "/nonexistent/tty: No such file or directory"},
      {"", ENOENT, ": no such device"},
      {"/dev/null", ENOTTY, "/dev/null: not a terminal device"},
      {pty.slavePath(), EBUSY, pty.slavePath() + ": device is busy (in use by another program)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    errno = 0;
    const TerminalOpening opening = OpenTerminal(c.path);
    EXPECT_FALSE(opening.terminal);
    EXPECT_EQ(opening.failure.devicePath, c.path);
    EXPECT_EQ(opening.failure.errorNumber, c.errorNumber);
    EXPECT_EQ(opening.failure.reason, c.reason);
  }
  // Free again once the holder closes it.
  held.terminal.Close();
  EXPECT_TRUE(OpenTerminal(pty.slavePath()).terminal);
}

TEST(Terminal, TheCamerasLineAtEachRate) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  const Terminal terminal = OpenTerminal(pty.slavePath()).terminal;
  ASSERT_TRUE(terminal);
  const std::pair<std::int32_t, speed_t> rates[] = {
      {9600, B9600}, {19200, B19200}, {38400, B38400}};
  for (const auto& [baud, speed] : rates) {
    SCOPED_TRACE(baud);
    ASSERT_EQ(ApplyLineSettings(terminal, CameraLine(baud)), "");
    termios line{};
    ASSERT_EQ(tcgetattr(pty.master(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), speed);
    EXPECT_EQ(line.c_cflag & (CSIZE | CSTOPB | PARENB | CRTSCTS), tcflag_t{CS8 | CSTOPB});
  }
  // Refused settings leave the line as it was, and the terminal open.
  EXPECT_EQ(ApplyLineSettings(terminal, CameraLine(57600)), "unsupported baud rate 57600");
  EXPECT_EQ(ApplyLineSettings(terminal, {9600, 9, 2, 0}), "unsupported byte size 9");
  termios line{};
  ASSERT_EQ(tcgetattr(pty.master(), &line), 0);
  EXPECT_EQ(cfgetospeed(&line), speed_t{B38400});
  EXPECT_GE(fcntl(terminal.Native(), F_GETFD), 0);
}

TEST(Terminal, CharacterTimesFollowTheFrame) {
  EXPECT_EQ(CharacterTimeUs(CameraLine(9600)), 11'000'000 / 9600);  // start, 8, two stop bits
  EXPECT_EQ(CharacterTimeUs({9600, 7, 0, 2}), 10'000'000 / 9600);   // start, 7, parity, one stop
  EXPECT_EQ(CharacterTimeUs(CameraLine(0)), 0);
}

}  // namespace
}  // namespace tavrel
