// One line after another: a COM port's reads wait in ReadFile, one port at a
// time. A silent port takes its three short waits, so ten of them take ten
// times as long as on Linux, where all are probed at once.
#include <memory>

#include "link/platform_serial.h"
#include "model/camera_probe.h"

namespace tavrel {
namespace {

class PortProbeLine : public ProbeLine {
 public:
  explicit PortProbeLine(Terminal terminal) : port_(std::move(terminal)) {}

  std::string SetRate(std::int32_t baud) override {
    if (port_.Configure(CameraLine(baud)) < 0) {
      return "unsupported line settings at " + std::to_string(baud) + " baud";
    }
    port_.Purge(kPurgeRxClear | kPurgeTxClear);
    return {};
  }

  std::string Send(const std::uint8_t* bytes, std::size_t count) override {
    const auto length = static_cast<std::int32_t>(count);
    if (port_.Write(bytes, length, 1000) == length) return {};
    const std::string reason = port_.SystemErrorText();
    return reason.empty() ? std::string("write: timed out") : reason;
  }

  // One byte, or none by `timeoutMs`.
  bool ReadByte(std::uint8_t* byte, std::int32_t timeoutMs) {
    return port_.Read(byte, 1, timeoutMs) == 1;
  }

 private:
  PlatformSerial port_;
};

}  // namespace

std::vector<ProbeResult> ProbeLines(const std::vector<std::string>& devicePaths,
                                    const ProbeWaits& waits) {
  std::vector<ProbeResult> results(devicePaths.size());
  for (std::size_t i = 0; i < devicePaths.size(); ++i) {
    TerminalOpening opening = OpenTerminal(devicePaths[i]);
    if (!opening.terminal) {
      results[i].kind = ProbeResult::Kind::kLineFailed;
      results[i].reason = opening.failure.reason;
      results[i].openFailure = opening.failure;
      continue;
    }
    PortProbeLine line(std::move(opening.terminal));
    CameraProbe probe(line, waits);
    probe.Start(SteadyNowMs());
    while (!probe.Done()) {
      const std::int64_t left = probe.DeadlineMs() - SteadyNowMs();
      std::uint8_t byte = 0;
      if (left > 0 && line.ReadByte(&byte, static_cast<std::int32_t>(left))) {
        probe.Receive(&byte, 1, SteadyNowMs());
      } else if (SteadyNowMs() >= probe.DeadlineMs()) {
        probe.Expire(SteadyNowMs());
      }
    }
    results[i] = probe.Result();
  }
  return results;
}

}  // namespace tavrel
