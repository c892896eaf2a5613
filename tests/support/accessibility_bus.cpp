#include "tests/support/accessibility_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "tests/support/exec_arguments.h"

namespace tavrel::testing {
namespace {

using Clock = std::chrono::steady_clock;

// How long the display and the session may take to say they are ready.
constexpr std::chrono::seconds kStartLimit{15};

// Reads the first line a child writes to `fd`, waiting no longer than
// `limit`; empty when it wrote none in time or closed the pipe first.
std::string ReadFirstLine(int fd, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::string line;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return {};
    pollfd ready{fd, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return {};
    char c = 0;
    const ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    if (c == '\n') return line;
    line += c;
  }
}

// A pipe whose write end a child started meanwhile inherits (under the same
// number) and whose read end stays in this process.
struct Pipe {
  Pipe() {
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  }
  ~Pipe() {
    for (int fd : fds) {
      if (fd >= 0) close(fd);
    }
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  void CloseWriteEnd() {
    close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
};

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment, const Options& options)
    : m_ownGroup(options.ownGroup) {
  // Everything the child needs is made before the fork: between fork and
  // exec it may only make system calls.
  const ExecArguments arguments(argv, environment);
  const pid_t parent = getpid();

  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("cannot start " + argv.front());
  if (m_pid == 0) {
    if (options.ownGroup) setpgid(0, 0);
    // A test that dies before it ends its children takes them with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int nowhere = open("/dev/null", O_RDWR);
    dup2(nowhere, STDIN_FILENO);
    if (options.quiet) {
      dup2(nowhere, STDOUT_FILENO);
      dup2(nowhere, STDERR_FILENO);
    }
    execvpe(arguments.Args()[0], arguments.Args(), arguments.Env());
    _exit(127);
  }
}

ChildProcess::~ChildProcess() {
  End();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)), m_ownGroup(other.m_ownGroup) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    End();
    m_pid = std::exchange(other.m_pid, -1);
    m_ownGroup = other.m_ownGroup;
  }
  return *this;
}

bool ChildProcess::Running() {
  if (m_pid < 0) return false;
  int status = 0;
  const pid_t done = waitpid(m_pid, &status, WNOHANG);
  if (done != m_pid) return true;
  // Gone: what it started in its group is ended with it.
  if (m_ownGroup) kill(-m_pid, SIGTERM);
  m_pid = -1;
  return false;
}

void ChildProcess::End() {
  if (m_pid < 0) return;
  kill(m_ownGroup ? -m_pid : m_pid, SIGTERM);
  int status = 0;
  while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
  }
  m_pid = -1;
}

AccessibilityBus::AccessibilityBus() {
  try {
    // Xvfb picks a free display and names it once it takes connections. It
    // must not reset when its last client goes (the bus's launcher is one):
    // a program connecting meanwhile would be turned away.
    Pipe display;
    m_xvfb = ChildProcess({"Xvfb", "-displayfd", std::to_string(display.fds[1]), "-screen", "0",
                           "1024x768x24", "-nolisten", "tcp", "-noreset"},
                          {}, {.quiet = true});
    display.CloseWriteEnd();
    const std::string number = ReadFirstLine(display.fds[0], kStartLimit);
    if (number.empty()) {
      m_problem = "the virtual display (Xvfb) did not start";
      return;
    }
    m_display = ":" + number;

    // The session bus prints its address once it listens. It starts the
    // accessibility bus when the first program asks for it, with this
    // display, in its own process group, which is ended with it.
    Pipe address;
    m_session =
        ChildProcess({"dbus-daemon", "--session", "--nofork",
                      "--print-address=" + std::to_string(address.fds[1])},
                     {"DISPLAY=" + m_display, "XDG_RUNTIME_DIR=" + m_runtime.Path().string()},
                     {.ownGroup = true, .quiet = true});
    address.CloseWriteEnd();
    m_sessionAddress = ReadFirstLine(address.fds[0], kStartLimit);
    if (m_sessionAddress.empty()) m_problem = "the private D-Bus session did not start";
  } catch (const std::exception& error) {
    m_problem = error.what();
  }
}

std::vector<std::string> AccessibilityBus::Environment() const {
  return {"DISPLAY=" + m_display, "DBUS_SESSION_BUS_ADDRESS=" + m_sessionAddress,
          "XDG_RUNTIME_DIR=" + m_runtime.Path().string()};
}

void AccessibilityBus::UseInThisProcess() const {
  for (const std::string& entry : Environment()) {
    const auto equals = entry.find('=');
    setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
  }
}

}  // namespace tavrel::testing
