// Terminals through termios: flock and TIOCEXCL hold the device for this
// program alone.
#include "serial/terminal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "serial/com_ports.h"

namespace tavrel {
namespace {

constexpr speed_t kNoSpeed = B0;

constexpr speed_t TermiosSpeed(std::int32_t baud) {
  switch (baud) {
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    default:
      return kNoSpeed;
  }
}
static_assert(std::none_of(kLineRates.begin(), kLineRates.end(),
                           [](std::int32_t baud) { return TermiosSpeed(baud) == kNoSpeed; }),
              "every line rate has its terminal speed");

// The character size bits of 5 to 8 data bits; none for other sizes.
std::optional<tcflag_t> SizeFlags(int byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    case 8:
      return CS8;
    default:
      return std::nullopt;
  }
}

// The parity bits of none, odd, even, mark or space (0 to 4); none for
// other values.
std::optional<tcflag_t> ParityFlags(int parity) {
  switch (parity) {
    case 0:
      return 0;
    case 1:
      return PARENB | PARODD;
    case 2:
      return PARENB;
    case 3:
      return PARENB | PARODD | CMSPAR;
    case 4:
      return PARENB | CMSPAR;
    default:
      return std::nullopt;
  }
}

TerminalOpening Failed(const std::string& path, int fd, int error, const std::string& why) {
  if (fd >= 0) close(fd);
  TerminalOpening opening;
  opening.failure = {path, path + ": " + why, error};
  return opening;
}

std::string Reason(const char* call) {
  return std::string(call) + ": " + std::strerror(errno);
}

}  // namespace

std::string SystemReason(int errorNumber) {
  return std::strerror(errorNumber);
}

void Terminal::Close() {
  if (handle_ < 0) return;
  // The exclusive mode belongs to the terminal, not to this descriptor: left
  // set, it outlives the close wherever something else keeps the terminal
  // (a pseudo-terminal's other side), and every later open by an ordinary
  // user fails as busy.
  ioctl(handle_, TIOCNXCL);
  close(Release());
}

TerminalOpening OpenTerminal(const std::string& path) {
  if (path.empty()) return Failed(path, -1, ENOENT, "no such device");
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  // Held exclusively by another program: an ordinary user's open fails here,
  // root's at the lock below; both are told the same.
  constexpr const char* kBusy = "device is busy (in use by another program)";
  if (fd < 0) {
    const int error = errno;
    return Failed(path, fd, error, error == EBUSY ? kBusy : std::strerror(error));
  }
  if (!isatty(fd)) return Failed(path, fd, ENOTTY, "not a terminal device");
  // The lock holds even for privileged users, whom TIOCEXCL does not stop.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    return error == EWOULDBLOCK ? Failed(path, fd, EBUSY, kBusy)
                                : Failed(path, fd, error, std::strerror(error));
  }
  if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
    const int error = errno;
    return Failed(path, fd, error, std::strerror(error));
  }
  TerminalOpening opening;
  opening.terminal = Terminal(fd);
  return opening;
}

std::string ApplyLineSettings(const Terminal& terminal, const LineSettings& line) {
  const std::optional<tcflag_t> size = SizeFlags(line.byteSize);
  if (!size) return "unsupported byte size " + std::to_string(line.byteSize);
  const std::optional<tcflag_t> parity = ParityFlags(line.parity);
  if (!parity) return "unsupported parity " + std::to_string(line.parity);
  const speed_t speed = IsSupportedLineRate(line.baud) ? TermiosSpeed(line.baud) : kNoSpeed;
  if (speed == kNoSpeed) return "unsupported baud rate " + std::to_string(line.baud);

  const int fd = terminal.Native();
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return Reason("tcgetattr");
  cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD | *size | *parity | (line.stopBits != 0 ? CSTOPB : 0);
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  if (line.parity != 0) settings.c_iflag |= INPCK;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
    return "unsupported baud rate " + std::to_string(line.baud);
  }
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return Reason("tcsetattr");
  // DTR and RTS on: the camera's port may power its line driver from them.
  // Pseudo-terminals have no modem lines, so a failure here is not an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIS, &lines);
  return {};
}

}  // namespace tavrel
