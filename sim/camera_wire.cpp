#include "sim/camera_wire.h"

#include <algorithm>
#include <vector>

#include "sim/camera_command_line.h"

namespace sim {

CameraWire::CameraWire(const CameraOptions& options)
    : responder_(options),
      trace_(options.traceFile),
      characterUs_(CharacterTimeUs(options.paceBaud)),
      turnaroundUs_(static_cast<long long>(options.turnaroundMs) * 1000) {}

CameraWire::SendResult CameraWire::Send(const std::uint8_t* bytes, std::size_t count,
                                        std::int64_t startUs, std::int64_t deadlineUs) {
  // With pacing, only the bytes that fit on the wire before the deadline go.
  std::int64_t lineFree = std::max(pcLineFreeUs_, startUs);
  std::size_t sent = count;
  if (characterUs_ > 0) {
    const auto fit = (deadlineUs - lineFree) / characterUs_;
    sent = static_cast<std::size_t>(
        std::clamp<std::int64_t>(fit, 0, static_cast<std::int64_t>(count)));
  }
  trace_.Log(Direction::kPcToCamera, bytes, sent, startUs);
  std::size_t taken = sent;
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < sent; ++i) {
    const std::int64_t arrival = lineFree + characterUs_;
    lineFree = arrival;
    out.clear();
    responder_.Receive(bytes[i], arrival, out);
    if (responder_.HungUp()) {
      trace_.Note("hangup: line closed", arrival);
      toPc_.clear();
      taken = i;
      break;
    }
    if (!out.empty()) {
      std::int64_t readable = std::max<std::int64_t>(arrival + turnaroundUs_, cameraLineFreeUs_);
      trace_.Log(Direction::kCameraToPc, out.data(), out.size(), readable);
      for (const auto byte : out) {
        readable += characterUs_;
        toPc_.push_back({readable, byte});
      }
      cameraLineFreeUs_ = readable;
    }
  }
  pcLineFreeUs_ = lineFree;
  return {sent, taken};
}

std::size_t CameraWire::Receive(std::uint8_t* buffer, std::size_t count, std::int64_t nowUs) {
  std::size_t got = 0;
  while (got < count && !toPc_.empty() && toPc_.front().readableAtUs <= nowUs) {
    buffer[got++] = toPc_.front().byte;
    toPc_.pop_front();
  }
  return got;
}

std::optional<std::int64_t> CameraWire::NextReadableUs() const {
  if (toPc_.empty()) return std::nullopt;
  return toPc_.front().readableAtUs;
}

void CameraWire::DropReadable(std::int64_t nowUs) {
  while (!toPc_.empty() && toPc_.front().readableAtUs <= nowUs) toPc_.pop_front();
}

}  // namespace sim
