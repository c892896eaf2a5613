#include "link/posix_serial.h"

#include "link/comm_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace tavrel {
namespace {

using Clock = std::chrono::steady_clock;

struct BaudEntry {
  std::int32_t baud;
  speed_t speed;
};

constexpr BaudEntry kBaudRates[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

bool SpeedFor(std::int32_t baud, speed_t* speed) {
  for (const BaudEntry& entry : kBaudRates) {
    if (entry.baud == baud) {
      *speed = entry.speed;
      return true;
    }
  }
  return false;
}

int RemainingMs(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

Clock::time_point DeadlineFor(std::int32_t count, std::int32_t timeoutMs) {
  const std::int64_t total = static_cast<std::int64_t>(count) * (timeoutMs > 0 ? timeoutMs : 0);
  return Clock::now() + std::chrono::milliseconds(total);
}

}  // namespace

struct PosixSerial::LineCounters {
  serial_icounter_struct counts{};
};

std::string ComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
  const std::string name = "TAVREL_COM" + std::to_string(port);
  if (const char* path = std::getenv(name.c_str()); path != nullptr && *path != '\0') return path;
  return "/dev/ttyS" + std::to_string(port - 1);
}

bool IsSupportedBaudRate(std::int32_t baud) {
  speed_t speed{};
  return SpeedFor(baud, &speed);
}

PosixSerial::~PosixSerial() {
  if (fd_ >= 0) close(fd_);
}

std::unique_ptr<PosixSerial> PosixSerial::OpenDevice(const std::string& path,
                                                     std::string* errorText) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<PosixSerial> {
    if (errorText != nullptr) *errorText = path + ": " + why;
    return nullptr;
  };
  if (path.empty()) return fail("no such device");
  // Non-blocking so that a modem line without carrier cannot hang the open;
  // all waiting is done in poll() afterwards.
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  if (!isatty(fd)) {
    close(fd);
    return fail("not a terminal device");
  }
  // The port is never shared: a second program (or a second open in this one)
  // would steal the camera's answers. The lock holds even for privileged users,
  // whom TIOCEXCL does not stop.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return fail(error == EWOULDBLOCK ? "device is busy (in use by another program)"
                                     : std::strerror(error));
  }
  if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
    const int error = errno;
    close(fd);
    return fail(std::strerror(error));
  }
  return std::unique_ptr<PosixSerial>(new PosixSerial(fd));
}

void PosixSerial::RememberErrno(const char* what) {
  systemError_ = std::string(what) + ": " + std::strerror(errno);
}

std::int32_t PosixSerial::Configure(std::int32_t baud, int byteSize, int stopBits, int parity) {
  termios settings{};
  speed_t speed{};
  if (tcgetattr(fd_, &settings) != 0) {
    RememberErrno("tcgetattr");
    return -CommPort::LineErrorCode(kLineErrorMode);
  }
  cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  switch (byteSize) {
    case 5:
      settings.c_cflag |= CS5;
      break;
    case 6:
      settings.c_cflag |= CS6;
      break;
    case 7:
      settings.c_cflag |= CS7;
      break;
    case 8:
      settings.c_cflag |= CS8;
      break;
    default:
      systemError_ = "unsupported byte size " + std::to_string(byteSize);
      return -CommPort::LineErrorCode(kLineErrorMode);
  }
  if (stopBits != 0) settings.c_cflag |= CSTOPB;
  switch (parity) {
    case 0:
      break;
    case 1:
      settings.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      settings.c_cflag |= PARENB;
      break;
    case 3:
      settings.c_cflag |= PARENB | PARODD | CMSPAR;
      break;
    case 4:
      settings.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      systemError_ = "unsupported parity " + std::to_string(parity);
      return -CommPort::LineErrorCode(kLineErrorMode);
  }
  if (parity != 0) settings.c_iflag |= INPCK;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (!SpeedFor(baud, &speed) || cfsetispeed(&settings, speed) != 0 ||
      cfsetospeed(&settings, speed) != 0) {
    systemError_ = "unsupported baud rate " + std::to_string(baud);
    return -CommPort::LineErrorCode(kLineErrorMode);
  }
  if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
    RememberErrno("tcsetattr");
    return -CommPort::LineErrorCode(kLineErrorMode);
  }
  // DTR and RTS on: the camera's port may power its line driver from them.
  // Pseudo-terminals have no modem lines, so a failure here is not an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd_, TIOCMBIS, &lines);
  return 0;
}

bool PosixSerial::ReadLineCounters(LineCounters* counters) const {
  return ioctl(fd_, TIOCGICOUNT, &counters->counts) == 0;
}

// Flags for every line-error counter that went up since `before`. Drivers
// without the counters (pseudo-terminals) never report a line error.
std::uint32_t PosixSerial::LineErrorsSince(const LineCounters& before, bool haveBefore) const {
  LineCounters now;
  if (!haveBefore || !ReadLineCounters(&now)) return 0;
  std::uint32_t flags = 0;
  if (now.counts.brk != before.counts.brk) flags |= kLineErrorBreak;
  if (now.counts.frame != before.counts.frame) flags |= kLineErrorFrame;
  if (now.counts.overrun != before.counts.overrun) flags |= kLineErrorOverrun;
  if (now.counts.buf_overrun != before.counts.buf_overrun) flags |= kLineErrorRxOver;
  if (now.counts.parity != before.counts.parity) flags |= kLineErrorRxParity;
  return flags;
}

std::int32_t PosixSerial::Write(const std::uint8_t* data, std::int32_t count,
                                std::int32_t timeoutMs) {
  LineCounters before;
  const bool haveBefore = ReadLineCounters(&before);
  const Clock::time_point deadline = DeadlineFor(count, timeoutMs);
  std::int32_t written = 0;
  while (written < count) {
    const ssize_t moved = write(fd_, data + written, static_cast<size_t>(count - written));
    if (moved > 0) {
      written += static_cast<std::int32_t>(moved);
      continue;
    }
    if (moved < 0 && errno != EAGAIN && errno != EINTR) {
      RememberErrno("write");
      tcflush(fd_, TCOFLUSH);
      const std::uint32_t flags = LineErrorsSince(before, haveBefore);
      return -CommPort::LineErrorCode(flags != 0 ? flags : kLineErrorIoe);
    }
    const int remaining = RemainingMs(deadline);
    if (remaining == 0) break;  // time-out: the short count tells the caller
    pollfd waitFor{fd_, POLLOUT, 0};
    poll(&waitFor, 1, remaining);
  }
  return written;
}

std::int32_t PosixSerial::Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) {
  LineCounters before;
  const bool haveBefore = ReadLineCounters(&before);
  const Clock::time_point deadline = DeadlineFor(count, timeoutMs);
  std::int32_t received = 0;
  std::uint32_t extraFlags = 0;
  for (;;) {
    const ssize_t moved = read(fd_, buffer + received, static_cast<size_t>(count - received));
    if (moved > 0) {
      received += static_cast<std::int32_t>(moved);
      if (received == count) return count;
      continue;
    }
    if (moved < 0 && errno != EAGAIN && errno != EINTR) {
      // The device went away (unplugged adapter, closed peer): waiting longer
      // cannot bring the bytes, so end the read now as an I/O error.
      RememberErrno("read");
      extraFlags = kLineErrorIoe;
      break;
    }
    const int remaining = RemainingMs(deadline);
    if (remaining == 0) break;
    pollfd waitFor{fd_, POLLIN, 0};
    const int ready = poll(&waitFor, 1, remaining);
    if (ready > 0 && (waitFor.revents & POLLIN) == 0 && (waitFor.revents & (POLLHUP | POLLERR))) {
      systemError_ = "read: device hung up";
      extraFlags = kLineErrorIoe;
      break;
    }
  }
  // Incomplete: what did arrive is discarded with the rest of the queue.
  tcflush(fd_, TCIFLUSH);
  return -CommPort::LineErrorCode(LineErrorsSince(before, haveBefore) | extraFlags);
}

std::int32_t PosixSerial::Purge(std::uint32_t flags) {
  const bool tx = (flags & (kPurgeTxAbort | kPurgeTxClear)) != 0;
  const bool rx = (flags & (kPurgeRxAbort | kPurgeRxClear)) != 0;
  if (!tx && !rx) return 0;
  const int queue = tx && rx ? TCIOFLUSH : (tx ? TCOFLUSH : TCIFLUSH);
  if (tcflush(fd_, queue) != 0) {
    RememberErrno("tcflush");
    return -8;
  }
  return 0;
}

}  // namespace tavrel
