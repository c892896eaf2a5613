// Asking a serial line whether a camera is on it, and at which rate: ENQ at
// each of the camera's line rates, and where a camera acknowledges, its
// identification texts by ordinary read commands, every reply checked as the
// message protocol checks it. Nothing is ever written to the camera.
//
// The waits are a probe's, not an exchange's: a camera answers ENQ within
// milliseconds, and a USB adapter holds received bytes back for at most its
// latency timer (16 ms by default), so 100 ms says "nobody at this rate"
// with room to spare, and a silent line is done with in three tenths of a
// second. Once a camera has answered, its replies get longer (they are known
// to come) but still far less than the exchange's seconds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/identification_text.h"
#include "serial/terminal.h"

namespace tavrel {

struct ProbeWaits {
  // For the ACK after ENQ at each rate.
  std::int32_t answerMs = 100;
  // For each answer of the identification read (ACK after ENQ, ACK after the
  // frame, the reply frame), beyond the bytes' own time on the wire.
  std::int32_t replyMs = 300;
};

struct ProbeResult {
  enum class Kind {
    kSilent,                // no ACK at any rate
    kFound,                 // acknowledged at `baud` and identified
    kIdentificationFailed,  // acknowledged at `baud`, then `reason`
    kLineFailed,            // opening or setting the line failed: `reason`
  };
  Kind kind = Kind::kSilent;
  std::int32_t baud = 0;
  Identification identification;
  std::string reason;
  // Set when the device did not open.
  OpenFailure openFailure;
};

// The line one probe runs on.
class ProbeLine {
 public:
  virtual ~ProbeLine() = default;
  // Sets the camera's line settings at `baud` and drops what was received
  // so far. The reason it failed, or empty.
  virtual std::string SetRate(std::int32_t baud) = 0;
  // Queues `bytes` for sending without waiting. The reason it failed, or
  // empty.
  virtual std::string Send(const std::uint8_t* bytes, std::size_t count) = 0;
};

// One device's probe, driven by whoever waits on its line: Start, then the
// bytes as they come (Receive) and its deadline when it passes (Expire),
// until Done. Times are milliseconds of one monotonic clock.
class CameraProbe {
 public:
  CameraProbe(ProbeLine& line, ProbeWaits waits);

  void Start(std::int64_t nowMs);
  void Receive(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs);
  // Called once the deadline has passed.
  void Expire(std::int64_t nowMs);
  // The line went away (hung up, read failed).
  void Fail(const std::string& reason);

  bool Done() const { return step_ == Step::kDone; }
  std::int64_t DeadlineMs() const { return deadlineMs_; }
  const ProbeResult& Result() const { return result_; }

 private:
  enum class Step { kAwaitEnqAnswer, kAwaitFrameAck, kAwaitReply, kDone };

  void TryRate(std::size_t rateIndex, std::int64_t nowMs);
  void SendEnq(std::int64_t nowMs);
  void SendFrame(std::int64_t nowMs);
  void TakeReplyByte(std::uint8_t byte, std::int64_t nowMs);
  void EntryRead(std::int32_t value, std::int64_t nowMs);
  // The exchange for the current entry failed with link error `code`: again
  // from ENQ, or the probe ends after the last attempt.
  void ExchangeFailed(std::int32_t code, std::int64_t nowMs);
  void Send(const std::uint8_t* bytes, std::size_t count);
  // Waits `waitMs` plus the wire time of `characters` characters.
  void AwaitUntil(std::int32_t waitMs, std::int32_t characters, std::int64_t nowMs);
  void Finish(ProbeResult::Kind kind, std::string reason = {});

  ProbeLine& line_;
  ProbeWaits waits_;
  Step step_ = Step::kDone;
  std::int64_t deadlineMs_ = 0;
  std::size_t rateIndex_ = 0;
  std::int64_t characterUs_ = 0;
  bool identifying_ = false;
  int entry_ = 0;
  int attempts_ = 0;    // of the current entry's exchange
  int badReplies_ = 0;  // reply frames rejected in the current attempt
  std::vector<std::uint8_t> reply_;
  // Identification entries 27..48 as read; 0 where not read.
  std::array<std::int32_t, kVersionLast - kVendorNameFirst + 1> values_{};
  ProbeResult result_;
};

// Probes the devices side by side where the platform lets a program wait on
// several lines at once (Linux: one poll() over all of them), else one after
// another. One result per path, in order.
std::vector<ProbeResult> ProbeLines(const std::vector<std::string>& devicePaths,
                                    const ProbeWaits& waits = {});

}  // namespace tavrel
