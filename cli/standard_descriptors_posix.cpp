// A closed standard descriptor on POSIX systems: the next open would take its
// number, so a stand-in opened read-only holds it. A terminal takes the UTF-8
// text as it is.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "cli/standard_output.h"

namespace tavrel::cli {

void HoldClosedStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is the one just found closed.
    const int standIn = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (standIn >= 0 && standIn != fd) {
      dup2(standIn, fd);
      ::close(standIn);
    }
  }
}

bool IsConsole(int) {
  return false;
}

bool WriteConsoleText(int, std::string_view) {
  errno = ENOTTY;
  return false;
}

}  // namespace tavrel::cli
