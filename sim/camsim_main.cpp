// tavrel-camsim: a virtual camera on a pseudo-terminal (or on a serial
// device, --device). Prints the device path on its first line and serves
// until SIGINT or SIGTERM.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "sim/camera_command_line.h"
#include "sim/pty_host.h"

namespace {

int g_stopPipe[2] = {-1, -1};

extern "C" void HandleStopSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(g_stopPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

int main(int argc, char** argv) {
  sim::CameraCommandLine commandLine;
  try {
    commandLine = sim::ParseCameraCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavrel-camsim: %s\nRun with --help for the options.\n", error.what());
    return 2;
  }
  if (commandLine.helpShown) {
    std::fputs(commandLine.helpText.c_str(), stdout);
    return 0;
  }
  // Nothing in this process looks at the bodies received: none are kept, so
  // a camera serving a test rig for days stays the same size.
  commandLine.options.bodyHistory = 0;
  if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    std::perror("tavrel-camsim: pipe");
    return 1;
  }
  struct sigaction action {};
  action.sa_handler = HandleStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  try {
    std::unique_ptr<sim::PtyHost> served =
        commandLine.devicePath.empty()
            ? std::make_unique<sim::PtyHost>(commandLine.options)
            : std::make_unique<sim::PtyHost>(commandLine.options, commandLine.devicePath);
    sim::PtyHost& host = *served;
    const std::string& link = commandLine.linkPath;
    if (!link.empty()) {
      // Replace a stale symlink from an earlier run, but never a real file.
      char target[1];
      if (readlink(link.c_str(), target, sizeof target) >= 0) ::unlink(link.c_str());
      if (symlink(host.DevicePath().c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "tavrel-camsim: cannot create link %s: %s\n", link.c_str(),
                     std::strerror(errno));
        return 1;
      }
    }
    std::printf("%s\n", host.DevicePath().c_str());
    std::fflush(stdout);
    const bool hungUp = host.Serve(g_stopPipe[0]);
    if (!link.empty()) ::unlink(link.c_str());
    if (hungUp) {
      std::fprintf(stderr, commandLine.devicePath.empty()
                               ? "tavrel-camsim: line closed by the hangup fault\n"
                               : "tavrel-camsim: the line was closed\n");
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavrel-camsim: %s\n", error.what());
    if (!commandLine.linkPath.empty()) ::unlink(commandLine.linkPath.c_str());
    return 1;
  }
  return 0;
}
