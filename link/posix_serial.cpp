#include "link/posix_serial.h"

#include "link/line_errors.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavrel {
namespace {

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

// Until Configure says otherwise: the camera's line at 9600 baud.
PosixSerial::PosixSerial(Terminal terminal)
    : terminal_(std::move(terminal)),
      fd_(terminal_.Native()),
      counterSource_(
          [fd = fd_](LineErrorCounts* counts) { return DriverLineCounters(fd, counts); }),
      queueSource_([fd = fd_](int* queued) { return ioctl(fd, TIOCOUTQ, queued) == 0; }),
      characterUs_(CharacterTimeUs(CameraLine(9600))) {
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

bool PosixSerial::LineHungUp() const {
  pollfd line{fd_, 0, 0};  // no events asked for: only a hang-up or an error shows
  return poll(&line, 1, 0) > 0 && HungUp(line.revents);
}

void PosixSerial::RememberErrno(const char* what) {
  systemError_ = std::string(what) + ": " + std::strerror(errno);
}

std::int32_t PosixSerial::Configure(const LineSettings& settings) {
  systemError_ = ApplyLineSettings(terminal_, settings);
  if (!systemError_.empty()) return Failure();
  characterUs_ = CharacterTimeUs(settings);
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
      if (sent < count) systemError_ = ShortWriteText("write", count, sent);
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
