// tavrel-camsim as a separate process: device path on the first line, a
// working camera behind it, clean exit on SIGTERM with its symlink removed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "link/framing.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/pty_pair.h"

extern char** environ;

namespace {

struct Child {
  pid_t pid = -1;
  int output = -1;  // read end of the child's stdout
};

Child Spawn(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  Child child;
  if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
    child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  child.output = pipeFds[0];
  return child;
}

// Reads one line; blocks until the child wrote it or closed its output.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

int WaitExit(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A fresh PAVON-P/S behind `device`: its partial scan end reads 768, takes
// 500, and reads 500.
void ReadWriteAndReadAgain(const std::string& device, int baud) {
  tavrel::CommPort port;
  ASSERT_EQ(port.OpenSerialDevice(device, baud), 0) << port.GetSystemErrorText();
  std::int32_t value = 0;
  EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), 0);
  EXPECT_EQ(value, 768);
  EXPECT_EQ(port.WriteValue(0x01, 0xFF, 0x01, 0x20, 1, 768, 500), 0);
  EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), 0);
  EXPECT_EQ(value, 500);
}

TEST(CamsimTest, ServesOnItsPtyAndStopsCleanlyOnSigterm) {
  const auto link =
      std::filesystem::temp_directory_path() / ("tavrel-camsim-test-" + std::to_string(getpid()));
  Child child = Spawn({CAMSIM_PATH, "--model", "PAVON-P/S", "--link", link.string()});
  ASSERT_GT(child.pid, 0);
  const std::string device = ReadLine(child.output);
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  ReadWriteAndReadAgain(link.string(), 9600);

  ASSERT_EQ(kill(child.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(child.pid), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  ::close(child.output);
}

// The camera stops and starts again on the same link path, as an adapter is
// pulled and plugged in again under its by-id name: the link opens the path
// again at the next exchange, with the settings it had, and goes on.
TEST(CamsimTest, TheLinkComesBackWhenTheCameraStartsAgainOnItsLink) {
  const auto link =
      std::filesystem::temp_directory_path() / ("tavrel-camsim-replug-" + std::to_string(getpid()));
  Child first = Spawn({CAMSIM_PATH, "--model", "PAVON-P/S", "--link", link.string()});
  ASSERT_GT(first.pid, 0);
  ASSERT_FALSE(ReadLine(first.output).empty());

  tavrel::CommPort port;
  port.SetComPortResolver([&link](std::int32_t) { return link.string(); });
  ASSERT_EQ(port.OpenSerial(1, 19200), 0) << port.GetSystemErrorText();
  std::int32_t value = 0;
  ASSERT_EQ(port.WriteValue(0x01, 0xFF, 0x01, 0x20, 1, 768, 500), 0);

  ASSERT_EQ(kill(first.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(first.pid), 0);
  ::close(first.output);
  // Gone, and its link with it: the exchange closes the dead port and
  // cannot open the path again.
  EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), -4);
  EXPECT_FALSE(port.IsPortOpen());
  EXPECT_TRUE(port.IsAwaitingReopen());
  EXPECT_EQ(port.GetDeviceOpenFailure().errorNumber, ENOENT);

  Child second = Spawn({CAMSIM_PATH, "--model", "PAVON-P/S", "--link", link.string()});
  ASSERT_GT(second.pid, 0);
  const std::string device = ReadLine(second.output);
  // Opened before the link is, it shows the settings the link gives the line.
  const int watch = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(watch, 0);
  EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), 0);
  EXPECT_EQ(value, 768);  // a fresh camera
  EXPECT_TRUE(port.IsPortOpen());
  EXPECT_FALSE(port.IsAwaitingReopen());
  EXPECT_EQ(port.GetPortNumber(), 1);
  EXPECT_EQ(port.GetBaudRate(), 19200);
  EXPECT_EQ(port.GetDevicePath(), link.string());
  termios settings{};
  ASSERT_EQ(tcgetattr(watch, &settings), 0);
  ::close(watch);
  EXPECT_EQ(cfgetospeed(&settings), speed_t{B19200});
  EXPECT_EQ(settings.c_cflag & (CSIZE | CSTOPB | PARENB), tcflag_t{CS8 | CSTOPB});

  port.Close();
  ASSERT_EQ(kill(second.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(second.pid), 0);
  ::close(second.output);
}

// The PC's end of one read command, by hand over a raw descriptor: ENQ and
// ACK, the framed command and ACK, the reply frame and ACK. The value read,
// or -1 when the exchange went wrong.
std::int32_t ReadByHand(int line, std::int32_t address, std::int32_t maximum) {
  auto receive = [line](std::uint8_t* bytes, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
      pollfd in{line, POLLIN, 0};
      if (poll(&in, 1, 5000) != 1) return false;
      const ssize_t n = ::read(line, bytes + got, count - got);
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    return true;
  };
  auto send = [line](const std::uint8_t* bytes, std::size_t count) {
    return ::write(line, bytes, count) == static_cast<ssize_t>(count);
  };
  char body[tavrel::kMessageBufferSize];
  tavrel::framing::FormatCommand(body, 0x01, 0xFF, 0x81, address, 1, maximum, 0);
  const tavrel::framing::CommandFrame frame = tavrel::framing::BuildCommandFrame(body);
  std::uint8_t answer = 0;
  std::uint8_t reply[tavrel::kReplyFrameLength] = {};
  if (!send(&tavrel::kEnq, 1) || !receive(&answer, 1) || answer != tavrel::kAck) return -1;
  if (!send(frame.bytes, static_cast<std::size_t>(frame.length)) || !receive(&answer, 1) ||
      answer != tavrel::kAck) {
    return -1;
  }
  if (!receive(reply, sizeof reply) ||
      tavrel::framing::CheckReplyFrame(reply, sizeof reply) != tavrel::LinkCode::kNoError ||
      !send(&tavrel::kAck, 1)) {
    return -1;
  }
  const char* value = reinterpret_cast<const char*>(reply + 1);
  const auto decoded = tavrel::framing::DecodeReplyValue(value);
  if (!decoded) return -1;
  return tavrel::framing::OrderValueBytes(0x81, 1, maximum, *decoded);
}

// On a serial line of its own: here the terminal side of a pty pair, whose
// other side the test plays the PC on.
TEST(CamsimTest, ServesOnASerialDeviceAtTheChosenRate) {
  tavrel::testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  // Opened before the camera, it shows the settings the camera gives the line.
  const int watch = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(watch, 0);
  Child child =
      Spawn({CAMSIM_PATH, "--device", pty.slavePath(), "--pace", "19200", "--model", "PAVON-P/S"});
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(ReadLine(child.output), pty.slavePath());
  termios settings{};
  ASSERT_EQ(tcgetattr(watch, &settings), 0);
  ::close(watch);
  EXPECT_EQ(cfgetospeed(&settings), speed_t{B19200});
  EXPECT_EQ(cfgetispeed(&settings), speed_t{B19200});
  EXPECT_EQ(settings.c_cflag & (CSIZE | CSTOPB | PARENB | CRTSCTS), tcflag_t{CS8 | CSTOPB});

  // Partial scan end of a PAVON-P/S: 768.
  EXPECT_EQ(ReadByHand(pty.master(), 0x20, 768), 768);

  ASSERT_EQ(kill(child.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(child.pid), 0);
  ::close(child.output);
  // The line is free again, also for an ordinary user: the exclusive mode
  // went with the camera.
  ASSERT_TRUE(tavrel::testing::GiveToOrdinaryUser(pty.slavePath()));
  const std::string path = pty.slavePath();
  EXPECT_EQ(tavrel::testing::RunAsOrdinaryUser([&path] {
              const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
              return fd >= 0 ? 0 : 1;
            }),
            0);
}

TEST(CamsimTest, OnASerialDeviceItEndsWhenTheLineGoesAway) {
  tavrel::testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  Child child = Spawn({CAMSIM_PATH, "--device", pty.slavePath()});
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(ReadLine(child.output), pty.slavePath());
  pty.CloseMaster();
  EXPECT_EQ(WaitExit(child.pid), 0);
  ::close(child.output);

  child = Spawn({CAMSIM_PATH, "--device", "/dev/null"});
  ASSERT_GT(child.pid, 0);
  EXPECT_EQ(ReadLine(child.output), "");
  EXPECT_EQ(WaitExit(child.pid), 1);  // not a terminal
  ::close(child.output);
}

// Two serial adapters joined by a null-modem cable: the camera on the second,
// the link on the first, so framing, timing and unplugging are real. Named
// by TAVREL_RIG_PORTS=/dev/ttyUSB0,/dev/ttyUSB1; skipped without it.
TEST(CamsimRig, TheLinkReadsAndWritesOverARealLine) {
  const char* ports = std::getenv("TAVREL_RIG_PORTS");
  if (ports == nullptr || std::strchr(ports, ',') == nullptr) {
    GTEST_SKIP() << "set TAVREL_RIG_PORTS=PC_PORT,CAMERA_PORT to run on a real line";
  }
  const std::string pcPort(ports, std::strchr(ports, ','));
  const std::string cameraPort(std::strchr(ports, ',') + 1);
  for (const int baud : {9600, 19200, 38400}) {
    SCOPED_TRACE(baud);
    Child child = Spawn({CAMSIM_PATH, "--device", cameraPort, "--pace", std::to_string(baud),
                         "--model", "PAVON-P/S"});
    ASSERT_GT(child.pid, 0);
    ASSERT_EQ(ReadLine(child.output), cameraPort);
    ReadWriteAndReadAgain(pcPort, baud);
    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    EXPECT_EQ(WaitExit(child.pid), 0);
    ::close(child.output);
  }
}

// A camera at its own rate, reporting the model-name text it was given: the
// link at that rate reads "LO", the first two characters of "LOMIRA-S".
TEST(CamsimTest, AnswersAtItsRateWithTheModelNameGiven) {
  Child child = Spawn({CAMSIM_PATH, "--baud", "38400", "--model-name", "LOMIRA-S"});
  ASSERT_GT(child.pid, 0);
  const std::string device = ReadLine(child.output);
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
  {
    tavrel::CommPort port;
    ASSERT_EQ(port.OpenSerialDevice(device, 38400), 0) << port.GetSystemErrorText();
    std::int32_t value = 0;
    EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x90, 0x08, 0, 65535, &value), 0);
    EXPECT_EQ(value, 'L' + 256 * 'O');
  }
  ASSERT_EQ(kill(child.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(child.pid), 0);
  ::close(child.output);
}

TEST(CamsimTest, BadOptionExitsWithUsageError) {
  Child child = Spawn({CAMSIM_PATH, "--fault", "melt"});
  ASSERT_GT(child.pid, 0);
  EXPECT_EQ(ReadLine(child.output), "");
  EXPECT_EQ(WaitExit(child.pid), 2);
  ::close(child.output);
}

}  // namespace
