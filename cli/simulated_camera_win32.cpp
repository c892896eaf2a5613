#include <algorithm>
#include <deque>

#include "cli/simulated_camera.h"
#include "link/comm_port.h"
#include "link/line_trace.h"
#include "sim/responder.h"
#include "sim/trace_log.h"

namespace tavrel {
namespace {

// Windows has no pseudo-terminals: the camera's responder sits directly
// behind the link as its carrier. It answers as each byte is written, so a
// read finds the answer queued or never gets one; nothing waits.
class ResponderLine : public Transport {
 public:
  explicit ResponderLine(const sim::CameraOptions& options) : responder_(options) {}

  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t) override {
    std::vector<std::uint8_t> answer;
    for (std::int32_t i = 0; i < count; ++i) {
      if (responder_.HungUp()) return i;
      responder_.Receive(data[i], sim::MonotonicUs(), answer);
    }
    if (trace_ != nullptr) {
      trace_->Log(TraceDirection::kPcToCamera, data, static_cast<std::size_t>(count),
                  TraceClockUs());
    }
    toPc_.insert(toPc_.end(), answer.begin(), answer.end());
    return count;
  }

  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t) override {
    if (static_cast<std::size_t>(count) > toPc_.size()) {
      toPc_.clear();
      return -5;
    }
    std::copy_n(toPc_.begin(), count, buffer);
    toPc_.erase(toPc_.begin(), toPc_.begin() + count);
    if (trace_ != nullptr) {
      trace_->Log(TraceDirection::kCameraToPc, buffer, static_cast<std::size_t>(count),
                  TraceClockUs());
    }
    return count;
  }

  void SetTrace(LineTrace* trace) override { trace_ = trace; }

  std::int32_t Purge(std::uint32_t flags) override {
    if (flags & (kPurgeRxAbort | kPurgeRxClear)) toPc_.clear();
    return 0;
  }

 private:
  sim::Responder responder_;
  std::deque<std::uint8_t> toPc_;
  LineTrace* trace_ = nullptr;
};

class InProcessSimulatedCamera : public SimulatedCamera {
 public:
  explicit InProcessSimulatedCamera(const sim::CameraOptions& options)
      : options_(options), probe_(options) {}
  std::int32_t Connect(CommPort& port, std::int32_t baud) override {
    port.AttachTransport(std::make_unique<ResponderLine>(options_), 0, baud);
    return 0;
  }

 private:
  sim::CameraOptions options_;
  sim::Responder probe_;  // fails here, as the pty host does, on bad options
};

}  // namespace

std::unique_ptr<SimulatedCamera> StartSimulatedCamera(const sim::CameraOptions& options) {
  return std::make_unique<InProcessSimulatedCamera>(options);
}

}  // namespace tavrel
