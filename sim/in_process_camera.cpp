#include "sim/in_process_camera.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "link/line_trace.h"
#include "sim/camera_wire.h"
#include "sim/trace_log.h"

namespace sim {

struct InProcessCamera::State {
  State(const CameraOptions& options, CameraTime time)
      : wire(options), virtualTime(time == CameraTime::kVirtual), virtualNowUs(MonotonicUs()) {}

  std::int64_t NowUs() const { return virtualTime ? virtualNowUs : MonotonicUs(); }
  void WaitUntil(std::int64_t us) {
    if (virtualTime) {
      virtualNowUs = std::max(virtualNowUs, us);
    } else {
      std::this_thread::sleep_until(
          std::chrono::steady_clock::time_point(std::chrono::microseconds(us)));
    }
  }

  CameraWire wire;
  bool virtualTime;
  std::int64_t virtualNowUs;  // moves only in WaitUntil
};

using tavrel::LinkCode;
using tavrel::LinkFailure;

// The PC's end of the line: a COM port as the link sees one. A hung-up line
// fails at once with the time-out code, as a real port whose far end went
// away does.
class InProcessCamera::ResponderLine : public tavrel::Transport {
 public:
  explicit ResponderLine(std::shared_ptr<State> state) : state_(std::move(state)) {}

  std::int32_t Write(const std::uint8_t* data, std::int32_t count,
                     std::int32_t timeoutMs) override {
    State& line = *state_;
    if (line.wire.HungUp()) return LinkFailure(LinkCode::kTimeOut);
    const std::int64_t start = line.NowUs();
    const auto sent = line.wire.Send(data, static_cast<std::size_t>(count), start,
                                     start + tavrel::TransferSpanMs(count, timeoutMs) * 1000);
    Trace(tavrel::TraceDirection::kPcToCamera, data, sent.sent);
    // The write returns once its bytes have left, as a real port's does.
    line.WaitUntil(line.wire.SendEndUs());
    return static_cast<std::int32_t>(sent.sent);
  }

  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override {
    State& line = *state_;
    const std::int64_t deadline = line.NowUs() + tavrel::TransferSpanMs(count, timeoutMs) * 1000;
    const auto wanted = static_cast<std::size_t>(count);
    std::size_t received = 0;
    for (;;) {
      const std::size_t moved =
          line.wire.Receive(buffer + received, wanted - received, line.NowUs());
      Trace(tavrel::TraceDirection::kCameraToPc, buffer + received, moved);
      received += moved;
      if (received == wanted) return count;
      if (line.wire.HungUp()) return LinkFailure(LinkCode::kTimeOut);
      const auto next = line.wire.NextReadableUs();
      if (!next || *next > deadline) break;
      line.WaitUntil(*next);
    }
    // Incomplete: what did arrive is discarded with the rest of the queue.
    line.WaitUntil(deadline);
    line.wire.DropReadable(line.NowUs());
    return LinkFailure(LinkCode::kTimeOut);
  }

  std::int32_t Purge(std::uint32_t flags) override {
    // What the PC sent is the camera's at once: only the receive side empties.
    if ((flags & (tavrel::kPurgeRxAbort | tavrel::kPurgeRxClear)) != 0) {
      state_->wire.DropReadable(state_->NowUs());
    }
    return 0;
  }

  void SetTrace(tavrel::LineTrace* trace) override { trace_ = trace; }
  std::int64_t NowMs() const override { return state_->NowUs() / 1000; }

 private:
  void Trace(tavrel::TraceDirection direction, const std::uint8_t* bytes, std::size_t count) {
    if (trace_ != nullptr && count > 0) trace_->Log(direction, bytes, count, state_->NowUs());
  }

  std::shared_ptr<State> state_;
  tavrel::LineTrace* trace_ = nullptr;
};

InProcessCamera::InProcessCamera(const CameraOptions& options, CameraTime time)
    : state_(std::make_shared<State>(options, time)) {}

InProcessCamera::~InProcessCamera() = default;

std::unique_ptr<tavrel::Transport> InProcessCamera::Connect() {
  return std::make_unique<ResponderLine>(state_);
}

RegisterBytes InProcessCamera::ReadRegister(int h1, int area, int address) const {
  return state_->wire.Camera().Registers().Read(h1, area, address).value_or(RegisterBytes{});
}

void InProcessCamera::WriteRegister(int h1, int area, int address, RegisterBytes bytes) {
  state_->wire.Camera().Registers().Write(h1, area, address, bytes);
}

std::vector<std::string> InProcessCamera::ReceivedBodies() const {
  return state_->wire.Camera().ReceivedBodies();
}

void InProcessCamera::AddFault(const Fault& fault) {
  state_->wire.Camera().AddFault(fault);
}

std::int64_t InProcessCamera::NowUs() const {
  return state_->NowUs();
}

}  // namespace sim
