// Both directions of the line to a virtual camera, for hosts that move the
// bytes themselves (the CameraLink test library, the in-process camera): the
// PC's bytes reach the responder as they arrive, and the camera's answer is
// readable once it has crossed the wire. With pacing every byte takes its
// wire time. The wire has no clock: its host says what time it is, from the
// real clock or a virtual one, and does any waiting.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "sim/camera_options.h"
#include "sim/responder.h"
#include "sim/trace_log.h"

namespace sim {

class CameraWire {
 public:
  // Throws like Responder and TraceLog.
  explicit CameraWire(const CameraOptions& options);

  struct SendResult {
    std::size_t sent;   // left the PC: all, or those that fit on the wire by the deadline
    std::size_t taken;  // of those, what the camera took before it hung up
  };
  // The PC sends `count` bytes from `startUs` on; `deadlineUs` ends a paced send.
  SendResult Send(const std::uint8_t* bytes, std::size_t count, std::int64_t startUs,
                  std::int64_t deadlineUs);
  // When the PC's last byte has left: a paced write lasts until then.
  std::int64_t SendEndUs() const { return pcLineFreeUs_; }

  // Moves up to `count` of the camera's bytes readable at `nowUs` into `buffer`.
  std::size_t Receive(std::uint8_t* buffer, std::size_t count, std::int64_t nowUs);
  // When the next of the camera's bytes becomes readable; nothing when none
  // is on its way.
  std::optional<std::int64_t> NextReadableUs() const;
  // Drops the camera's bytes readable at `nowUs` (the PC's receive purge).
  void DropReadable(std::int64_t nowUs);

  bool HungUp() const { return responder_.HungUp(); }
  Responder& Camera() { return responder_; }
  const Responder& Camera() const { return responder_; }

 private:
  struct PendingByte {
    std::int64_t readableAtUs;
    std::uint8_t byte;
  };

  Responder responder_;
  TraceLog trace_;
  long long characterUs_;
  long long turnaroundUs_;
  std::deque<PendingByte> toPc_;
  std::int64_t pcLineFreeUs_ = 0;      // PC -> camera wire busy until
  std::int64_t cameraLineFreeUs_ = 0;  // camera -> PC wire busy until
};

}  // namespace sim
