// Every line probed at once: one poll() waits on all their descriptors and
// the nearest deadline, so ten silent devices take no longer than one.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "link/transport.h"
#include "model/camera_probe.h"

namespace tavrel {
namespace {

class TerminalProbeLine : public ProbeLine {
 public:
  explicit TerminalProbeLine(Terminal terminal) : terminal_(std::move(terminal)) {}

  std::string SetRate(std::int32_t baud) override {
    const std::string failure = ApplyLineSettings(terminal_, CameraLine(baud));
    if (!failure.empty()) return failure;
    // What arrived at the last rate was noise, or a late answer to it.
    tcflush(terminal_.Native(), TCIOFLUSH);
    return {};
  }

  std::string Send(const std::uint8_t* bytes, std::size_t count) override {
    // A few bytes into an output queue of kilobytes: written whole at once.
    const ssize_t written = write(terminal_.Native(), bytes, count);
    if (written == static_cast<ssize_t>(count)) return {};
    if (written < 0) return std::string("write: ") + std::strerror(errno);
    return "write: " + std::to_string(count - static_cast<std::size_t>(written)) + " of " +
           std::to_string(count) + " bytes not sent";
  }

  int Descriptor() const { return terminal_.Native(); }

 private:
  Terminal terminal_;
};

struct Prober {
  std::unique_ptr<TerminalProbeLine> line;
  std::unique_ptr<CameraProbe> probe;
};

// Reads what the line has. A terminal set to return at once reads 0 bytes
// when nothing is there; a hang-up is told by poll().
void Drain(Prober& prober, std::int64_t nowMs) {
  std::uint8_t buffer[256];
  for (;;) {
    const ssize_t got = read(prober.line->Descriptor(), buffer, sizeof buffer);
    if (got > 0) {
      prober.probe->Receive(buffer, static_cast<std::size_t>(got), nowMs);
      if (prober.probe->Done()) return;
      continue;
    }
    if (got < 0 && errno != EAGAIN && errno != EINTR) {
      prober.probe->Fail(std::string("read: ") + std::strerror(errno));
    }
    return;
  }
}

}  // namespace

std::vector<ProbeResult> ProbeLines(const std::vector<std::string>& devicePaths,
                                    const ProbeWaits& waits) {
  std::vector<ProbeResult> results(devicePaths.size());
  std::vector<Prober> probers(devicePaths.size());
  for (std::size_t i = 0; i < devicePaths.size(); ++i) {
    TerminalOpening opening = OpenTerminal(devicePaths[i]);
    if (!opening.terminal) {
      results[i].kind = ProbeResult::Kind::kLineFailed;
      results[i].reason = opening.failure.reason;
      results[i].openFailure = opening.failure;
      continue;
    }
    probers[i].line = std::make_unique<TerminalProbeLine>(std::move(opening.terminal));
    probers[i].probe = std::make_unique<CameraProbe>(*probers[i].line, waits);
    probers[i].probe->Start(SteadyNowMs());
  }

  std::vector<pollfd> fds;
  std::vector<std::size_t> owners;
  for (;;) {
    fds.clear();
    owners.clear();
    std::int64_t nearest = -1;
    for (std::size_t i = 0; i < probers.size(); ++i) {
      if (!probers[i].probe || probers[i].probe->Done()) continue;
      fds.push_back({probers[i].line->Descriptor(), POLLIN, 0});
      owners.push_back(i);
      const std::int64_t deadline = probers[i].probe->DeadlineMs();
      nearest = nearest < 0 ? deadline : std::min(nearest, deadline);
    }
    if (fds.empty()) break;
    const std::int64_t waitMs = std::max<std::int64_t>(nearest - SteadyNowMs(), 0);
    // Rounded up, so that a deadline is never met a little early.
    const int ready = poll(fds.data(), fds.size(), static_cast<int>(waitMs) + 1);
    const std::int64_t now = SteadyNowMs();
    if (ready < 0 && errno != EINTR) {
      const std::string reason = std::string("poll: ") + std::strerror(errno);
      for (const std::size_t i : owners) probers[i].probe->Fail(reason);
      break;
    }
    for (std::size_t k = 0; ready > 0 && k < fds.size(); ++k) {
      Prober& prober = probers[owners[k]];
      if ((fds[k].revents & POLLIN) != 0) Drain(prober, now);
      if ((fds[k].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        prober.probe->Fail("the line hung up");
      }
    }
    for (const std::size_t i : owners) {
      CameraProbe& probe = *probers[i].probe;
      if (!probe.Done() && probe.DeadlineMs() <= now) probe.Expire(now);
    }
  }
  for (std::size_t i = 0; i < probers.size(); ++i) {
    if (probers[i].probe) results[i] = probers[i].probe->Result();
  }
  return results;
}

}  // namespace tavrel
