// tavrel-camsim as a separate process: device path on the first line, a
// working camera behind it, clean exit on SIGTERM with its symlink removed.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "link/comm_port.h"

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

TEST(CamsimTest, ServesOnItsPtyAndStopsCleanlyOnSigterm) {
  const auto link =
      std::filesystem::temp_directory_path() / ("tavrel-camsim-test-" + std::to_string(getpid()));
  Child child = Spawn({CAMSIM_PATH, "--model", "PAVON-P/S", "--link", link.string()});
  ASSERT_GT(child.pid, 0);
  const std::string device = ReadLine(child.output);
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  {
    tavrel::CommPort port;
    ASSERT_EQ(port.OpenSerialDevice(link.string(), 9600), 0);
    // Partial scan end of a PAVON-P/S: 768.
    std::int32_t value = 0;
    EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), 0);
    EXPECT_EQ(value, 768);
    EXPECT_EQ(port.WriteValue(0x01, 0xFF, 0x01, 0x20, 1, 768, 500), 0);
    EXPECT_EQ(port.ReadValue(0x01, 0xFF, 0x81, 0x20, 1, 768, &value), 0);
    EXPECT_EQ(value, 500);
  }

  ASSERT_EQ(kill(child.pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(child.pid), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
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
