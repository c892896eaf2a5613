#include "link/posix_serial.h"

#include "link/line_errors.h"
#include "link/platform_serial.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavrel {
namespace {

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

std::int64_t DeadlineUs(std::int32_t count, std::int32_t timeoutMs) {
  return SteadyNowUs() + TransferSpanMs(count, timeoutMs) * 1000;
}

// Whole milliseconds left, rounded up so that poll() never wakes early and
// spins on a zero time-out.
int RemainingMs(std::int64_t deadlineUs) {
  const std::int64_t left = deadlineUs - SteadyNowUs();
  return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

bool HungUp(short revents) {
  return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// Start bit, data bits, parity bit and stop bits of one character.
int BitsPerCharacter(const termios& settings) {
  int bits = 1;
  switch (settings.c_cflag & CSIZE) {
    case CS5:
      bits += 5;
      break;
    case CS6:
      bits += 6;
      break;
    case CS7:
      bits += 7;
      break;
    default:
      bits += 8;
  }
  if ((settings.c_cflag & PARENB) != 0) ++bits;
  bits += (settings.c_cflag & CSTOPB) != 0 ? 2 : 1;
  return bits;
}

bool DriverLineCounters(int fd, LineErrorCounts* counts) {
  serial_icounter_struct driver{};
  if (ioctl(fd, TIOCGICOUNT, &driver) != 0) return false;
  counts->breaks = static_cast<std::uint32_t>(driver.brk);
  counts->framing = static_cast<std::uint32_t>(driver.frame);
  counts->overruns = static_cast<std::uint32_t>(driver.overrun);
  counts->bufferOverruns = static_cast<std::uint32_t>(driver.buf_overrun);
  counts->parity = static_cast<std::uint32_t>(driver.parity);
  return true;
}

}  // namespace

std::string DefaultComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::string ComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
  const std::string name = "TAVREL_COM" + std::to_string(port);
  if (const char* path = std::getenv(name.c_str()); path != nullptr && *path != '\0') return path;
  return DefaultComPortDevicePath(port);
}

bool IsSupportedBaudRate(std::int32_t baud) {
  speed_t speed{};
  return SpeedFor(baud, &speed);
}

// Until Configure says otherwise: 9600 baud, 11 bits per character.
PosixSerial::PosixSerial(int fd)
    : fd_(fd),
      counterSource_([fd](LineErrorCounts* counts) { return DriverLineCounters(fd, counts); }),
      queueSource_([fd](int* queued) { return ioctl(fd, TIOCOUTQ, queued) == 0; }),
      characterUs_(11 * 1'000'000 / 9600) {
  SetLineCounterSource(counterSource_);
}

void PosixSerial::SetLineCounterSource(LineCounterSource source) {
  counterSource_ = std::move(source);
  LineErrorCounts now;
  if (counterSource_(&now)) lineErrors_.Reset(now);
}

std::uint32_t PosixSerial::TakeLineErrors() {
  LineErrorCounts now;
  return lineErrors_.Take(counterSource_(&now) ? &now : nullptr);
}

std::int32_t PosixSerial::Failure() {
  return LinkFailure(LineErrorCode(TakeLineErrors()));
}

PosixSerial::~PosixSerial() {
  if (fd_ < 0) return;
  // The exclusive mode belongs to the terminal, not to this descriptor: left
  // set, it outlives the close wherever something else keeps the terminal
  // (a pseudo-terminal's other side), and every later open by an ordinary
  // user fails as busy.
  ioctl(fd_, TIOCNXCL);
  close(fd_);
}

bool PosixSerial::LineHungUp() const {
  pollfd line{fd_, 0, 0};  // no events asked for: only a hang-up or an error shows
  return poll(&line, 1, 0) > 0 && HungUp(line.revents);
}

std::unique_ptr<PosixSerial> PosixSerial::OpenDevice(const std::string& path,
                                                     std::string* errorText) {
  // Leaves errno at `error` for the caller, whatever closing the descriptor
  // did to it.
  auto fail = [&](int fd, int error, const std::string& why) -> std::unique_ptr<PosixSerial> {
    if (fd >= 0) close(fd);
    if (errorText != nullptr) *errorText = path + ": " + why;
    errno = error;
    return nullptr;
  };
  if (path.empty()) return fail(-1, ENOENT, "no such device");
  // Non-blocking so that a modem line without carrier cannot hang the open;
  // all waiting is done in poll() afterwards.
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  // Held exclusively by another program: an ordinary user's open fails here,
  // root's at the lock below; both are told the same.
  constexpr const char* kBusy = "device is busy (in use by another program)";
  if (fd < 0) return fail(fd, errno, errno == EBUSY ? kBusy : std::strerror(errno));
  if (!isatty(fd)) return fail(fd, ENOTTY, "not a terminal device");
  // The port is never shared: a second program (or a second open in this one)
  // would steal the camera's answers. The lock holds even for privileged users,
  // whom TIOCEXCL does not stop.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    return error == EWOULDBLOCK ? fail(fd, EBUSY, kBusy) : fail(fd, error, std::strerror(error));
  }
  if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) return fail(fd, errno, std::strerror(errno));
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
    return Failure();
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
      return Failure();
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
      return Failure();
  }
  if (parity != 0) settings.c_iflag |= INPCK;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (!SpeedFor(baud, &speed) || cfsetispeed(&settings, speed) != 0 ||
      cfsetospeed(&settings, speed) != 0) {
    systemError_ = "unsupported baud rate " + std::to_string(baud);
    return Failure();
  }
  if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
    RememberErrno("tcsetattr");
    return Failure();
  }
  characterUs_ = BitsPerCharacter(settings) * std::int64_t{1'000'000} / baud;
  // DTR and RTS on: the camera's port may power its line driver from them.
  // Pseudo-terminals have no modem lines, so a failure here is not an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd_, TIOCMBIS, &lines);
  return 0;
}

std::int32_t PosixSerial::OutputQueued() {
  int queued = 0;
  if (!queueSource_(&queued)) {
    RememberErrno("TIOCOUTQ");
    return -1;
  }
  return queued;
}

// The line runs without flow control, so queued bytes leave at the wire rate:
// each wait lasts the wire time of what is still queued, and a write wakes
// about once, not in a loop. Not tcdrain: it has no time-out, and a driver
// whose transmitter never reports empty would hold the program for good.
// Once the queue is empty, the last characters sit in the UART's own FIFO,
// out of reach of any purge, and go out within a few character times.
std::int32_t PosixSerial::DrainOutput(std::int64_t deadlineUs) {
  for (;;) {
    const std::int32_t queued = OutputQueued();
    if (queued < 0) return -1;
    if (queued == 0) break;
    const std::int64_t left = deadlineUs - SteadyNowUs();
    if (left <= 0) return queued;
    const std::int64_t waitUs = std::min(left, queued * characterUs_ + 1000);
    pollfd line{fd_, 0, 0};  // no events: only a hang-up ends the wait early
    const timespec timeout{static_cast<time_t>(waitUs / 1'000'000),
                           static_cast<long>(waitUs % 1'000'000) * 1000};
    if (ppoll(&line, 1, &timeout, nullptr) > 0 && HungUp(line.revents)) {
      systemError_ = "write: device hung up";
      return -1;
    }
  }
  return 0;
}

std::int32_t PosixSerial::Write(const std::uint8_t* data, std::int32_t count,
                                std::int32_t timeoutMs) {
  const std::int64_t deadline = DeadlineUs(count, timeoutMs);
  std::int32_t written = 0;
  bool failed = false;
  while (written < count) {
    const ssize_t moved = write(fd_, data + written, static_cast<size_t>(count - written));
    TraceNow(trace_, TraceDirection::kPcToCamera, data + written, moved);
    if (moved > 0) {
      written += static_cast<std::int32_t>(moved);
      continue;
    }
    if (moved < 0 && errno != EAGAIN && errno != EINTR) {
      RememberErrno("write");
      failed = true;
      break;
    }
    const int remaining = RemainingMs(deadline);
    if (remaining == 0) break;
    pollfd line{fd_, POLLOUT, 0};
    if (poll(&line, 1, remaining) > 0 && HungUp(line.revents) && (line.revents & POLLOUT) == 0) {
      systemError_ = "write: device hung up";
      failed = true;
      break;
    }
  }
  if (!failed) {
    const std::int32_t queued = DrainOutput(deadline);
    failed = queued < 0;
    if (!failed) {
      // Time-out: what has not left by now is not sent at all; the short
      // count tells the caller, ShortWriteFailure the reason.
      if (queued > 0) tcflush(fd_, TCOFLUSH);
      const std::int32_t sent = written - std::min(queued, written);
      if (sent < count) {
        systemError_ = "write: timed out with " + std::to_string(count - sent) + " of " +
                       std::to_string(count) + " bytes not sent";
      }
      return sent;
    }
  }
  // Drop what is still queued, keeping the reason already noted.
  if (int queued = 0; queueSource_(&queued) && queued > 0) tcflush(fd_, TCOFLUSH);
  return Failure();
}

std::int32_t PosixSerial::Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) {
  const std::int64_t deadline = DeadlineUs(count, timeoutMs);
  std::int32_t received = 0;
  bool hangUpReported = false;
  for (;;) {
    const ssize_t moved = read(fd_, buffer + received, static_cast<size_t>(count - received));
    TraceNow(trace_, TraceDirection::kCameraToPc, buffer + received, moved);
    if (moved > 0) {
      received += static_cast<std::int32_t>(moved);
      if (received == count) return count;
      continue;
    }
    if (moved < 0 && errno != EAGAIN && errno != EINTR) {
      // The device went away (unplugged adapter, closed peer): waiting longer
      // cannot bring the bytes.
      RememberErrno("read");
      break;
    }
    if (hangUpReported) {
      // The read after the hang-up took what arrived before it; a hung-up
      // line stays readable with nothing to read, so waiting again would spin.
      systemError_ = "read: device hung up";
      break;
    }
    const int remaining = RemainingMs(deadline);
    if (remaining == 0) break;
    pollfd line{fd_, POLLIN, 0};
    if (poll(&line, 1, remaining) > 0 && HungUp(line.revents)) hangUpReported = true;
  }
  // Incomplete: what did arrive is discarded with the rest of the queue.
  tcflush(fd_, TCIFLUSH);
  return Failure();
}

std::int32_t PosixSerial::Purge(std::uint32_t flags) {
  const bool tx = (flags & (kPurgeTxAbort | kPurgeTxClear)) != 0;
  const bool rx = (flags & (kPurgeRxAbort | kPurgeRxClear)) != 0;
  if (rx && tcflush(fd_, TCIFLUSH) != 0) {
    RememberErrno("tcflush");
    return LinkFailure(LinkCode::kPurgeFailed);
  }
  if (tx) {
    // On a pseudo-terminal the queue is always empty, and flushing it would
    // throw away what the other side has not read yet.
    const std::int32_t queued = OutputQueued();
    if (queued < 0) return LinkFailure(LinkCode::kPurgeFailed);
    if (queued > 0 && tcflush(fd_, TCOFLUSH) != 0) {
      RememberErrno("tcflush");
      return LinkFailure(LinkCode::kPurgeFailed);
    }
  }
  return 0;
}

}  // namespace tavrel
