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

#include <filesystem>
#include <string>
#include <vector>

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

std::string Exchange(int fd, const std::string& bytes, std::size_t expect) {
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    return "<write>";
  std::string got;
  while (got.size() < expect) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) break;
    char buffer[32];
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, expect - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

TEST(CamsimTest, ServesOnItsPtyAndStopsCleanlyOnSigterm) {
  const auto link =
      std::filesystem::temp_directory_path() / ("tavrel-camsim-test-" + std::to_string(getpid()));
  Child child = Spawn({CAMSIM_PATH, "--model", "PAVON-P/S", "--link", link.string()});
  ASSERT_GT(child.pid, 0);
  const std::string device = ReadLine(child.output);
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  // Partial scan end of a PAVON-P/S: 768, two bytes most significant first.
  EXPECT_EQ(Exchange(fd, "\x05", 1), "\x06");
  EXPECT_EQ(Exchange(fd,
                     "\x02"
                     "01FF8120000000\x03"
                     "22",
                     11),
            "\x06\x02"
            "030000\x03"
            "D7");
  ::close(fd);

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
