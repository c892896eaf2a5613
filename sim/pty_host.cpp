#include "sim/pty_host.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "sim/camera_command_line.h"

namespace sim {
namespace {

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// The rate the PC's end of the pseudo-terminal sends at: Linux gives the
// master side the terminal side's settings. 0 when unknown or none of ours.
int PcLineBaud(int master) {
  termios settings{};
  if (tcgetattr(master, &settings) != 0) return 0;
  switch (cfgetospeed(&settings)) {
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    default:
      return 0;
  }
}

}  // namespace

PtyHost::PtyHost(const CameraOptions& options)
    : responder_(options),
      trace_(options.traceFile),
      characterUs_(CharacterTimeUs(options.paceBaud)),
      turnaroundUs_(static_cast<long long>(options.turnaroundMs) * 1000),
      lineBaud_(options.lineBaud) {
  if (!IsSupportedBaud(options.paceBaud))
    throw std::invalid_argument("unsupported pacing baud rate");
  if (!IsSupportedBaud(options.lineBaud)) throw std::invalid_argument("unsupported line rate");
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) throw SystemError("cannot create a pseudo-terminal");
  char name[128];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
      ptsname_r(master_, name, sizeof name) != 0) {
    const auto error = SystemError("cannot set up the pseudo-terminal");
    ::close(master_);
    throw error;
  }
  devicePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    const auto error = SystemError("cannot open " + devicePath_);
    ::close(master_);
    throw error;
  }
  // Raw until the PC sets its own line settings: no echo, no line editing.
  termios settings{};
  tcgetattr(slave_, &settings);
  cfmakeraw(&settings);
  tcsetattr(slave_, TCSANOW, &settings);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyHost::PtyHost(const CameraOptions& options, const std::string& linePath)
    : responder_(options),
      trace_(options.traceFile),
      characterUs_(0),  // the line's own rate paces it
      turnaroundUs_(static_cast<long long>(options.turnaroundMs) * 1000),
      lineBaud_(options.lineBaud) {
  if (!IsSupportedBaud(options.paceBaud) || !IsSupportedBaud(options.lineBaud)) {
    throw std::invalid_argument("unsupported baud rate");
  }
  const int baud = options.lineBaud != 0 ? options.lineBaud : options.paceBaud;
  OpenLine(linePath, baud != 0 ? baud : 9600);
}

void PtyHost::OpenLine(const std::string& linePath, int baud) {
  // Like the PC's end: one program at a time on the line.
  tavrel::TerminalOpening opening = tavrel::OpenTerminal(linePath);
  if (!opening.terminal) throw std::runtime_error("cannot open " + opening.failure.reason);
  const std::string refused = tavrel::ApplyLineSettings(opening.terminal, tavrel::CameraLine(baud));
  if (!refused.empty()) {
    throw std::runtime_error("cannot set " + linePath + " to " + std::to_string(baud) +
                             " baud, 8N2: " + refused);
  }
  line_ = std::move(opening.terminal);
  master_ = line_.Native();
  tcflush(master_, TCIOFLUSH);
  serialDevice_ = true;
  devicePath_ = linePath;
}

PtyHost::~PtyHost() {
  CloseLine();
}

void PtyHost::CloseLine() {
  if (line_) {
    line_.Close();
  } else if (master_ >= 0) {
    ::close(master_);
  }
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

bool PtyHost::WaitUntil(std::int64_t deadlineUs, int stopFd) {
  for (;;) {
    const std::int64_t left = deadlineUs - MonotonicUs();
    if (left <= 0) return true;
    pollfd stop{stopFd, POLLIN, 0};
    const timespec timeout{static_cast<time_t>(left / 1'000'000),
                           static_cast<long>(left % 1'000'000) * 1000};
    const int ready = ppoll(&stop, 1, &timeout, nullptr);
    if (ready > 0) return false;
  }
}

bool PtyHost::Serve(int stopFd) {
  std::uint8_t buffer[256];
  std::vector<std::uint8_t> out;
  for (;;) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (ppoll(fds, 2, nullptr, nullptr) < 0) {
      if (errno == EINTR) continue;
      throw SystemError("poll");
    }
    if (fds[1].revents & POLLIN) return false;
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got <= 0) {
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (serialDevice_) {
        // The device went away (adapter pulled, the far end of a pty
        // closed): nothing will come on this descriptor again.
        trace_.Note("line hung up", MonotonicUs());
        CloseLine();
        return true;
      }
      // No PC on the line (master reads EIO): wait for the stop or new bytes.
      if (!WaitUntil(MonotonicUs() + 10'000, stopFd)) return false;
      continue;
    }
    const std::int64_t now = MonotonicUs();
    trace_.Log(Direction::kPcToCamera, buffer, static_cast<std::size_t>(got), now);
    if (!HearsPcLine(now)) continue;
    out.clear();
    bool hungUp = false;
    {
      std::lock_guard lock(mutex_);
      for (ssize_t i = 0; i < got; ++i) {
        rxEndUs_ = characterUs_ > 0 ? std::max<std::int64_t>(rxEndUs_, now) + characterUs_ : now;
        responder_.Receive(buffer[i], rxEndUs_, out);
      }
      hungUp = responder_.HungUp();
    }
    if (hungUp) {
      trace_.Note("hangup: line closed", MonotonicUs());
      CloseLine();
      return true;
    }
    if (!out.empty() && !Answer(out, stopFd)) return false;
  }
}

// Read when the bytes are taken from the pty, not when the PC wrote them:
// a PC that changes its rate while its bytes wait unread is heard at the new
// one. The camera takes its bytes at once, so only a host that is held up
// for longer than the PC waits between rates sees the difference.
bool PtyHost::HearsPcLine(std::int64_t nowUs) {
  if (lineBaud_ == 0 || serialDevice_) return true;
  const int pcBaud = PcLineBaud(master_);
  if (pcBaud == lineBaud_) return true;
  trace_.Note("ignored: the PC's line is at " +
                  (pcBaud != 0 ? std::to_string(pcBaud) + " baud" : std::string("another rate")) +
                  ", the camera's at " + std::to_string(lineBaud_),
              nowUs);
  return false;
}

bool PtyHost::Answer(const std::vector<std::uint8_t>& out, int stopFd) {
  std::int64_t deadline = std::max<std::int64_t>(rxEndUs_, MonotonicUs()) + turnaroundUs_;
  if (characterUs_ == 0) {
    if (turnaroundUs_ > 0 && !WaitUntil(deadline, stopFd)) return false;
    trace_.Log(Direction::kCameraToPc, out.data(), out.size(), MonotonicUs());
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t put = ::write(master_, out.data() + done, out.size() - done);
      if (put > 0) {
        done += static_cast<std::size_t>(put);
      } else if (put < 0 && errno == EAGAIN) {
        pollfd fd{master_, POLLOUT, 0};
        ppoll(&fd, 1, nullptr, nullptr);
      } else if (put < 0 && errno != EINTR) {
        return true;  // the PC side went away; the bytes are lost on the line
      }
    }
    return true;
  }
  // Paced: each byte becomes readable when its last stop bit is on the line.
  trace_.Log(Direction::kCameraToPc, out.data(), out.size(), deadline);
  for (const std::uint8_t byte : out) {
    deadline += characterUs_;
    if (!WaitUntil(deadline, stopFd)) return false;
    while (::write(master_, &byte, 1) < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd fd{master_, POLLOUT, 0};
      ppoll(&fd, 1, nullptr, nullptr);
    }
  }
  return true;
}

}  // namespace sim
