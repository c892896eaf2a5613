// One carrier of the camera line and the time helpers the carriers share.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

#include "link/link_code.h"

namespace tavrel {

class LineTrace;

// Purge flags, with the values the camera line has always used.
inline constexpr std::uint32_t kPurgeTxAbort = 0x0001;
inline constexpr std::uint32_t kPurgeRxAbort = 0x0002;
inline constexpr std::uint32_t kPurgeTxClear = 0x0004;
inline constexpr std::uint32_t kPurgeRxClear = 0x0008;

// Milliseconds of the monotonic clock.
inline std::int64_t SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Microseconds of the same clock.
inline std::int64_t SteadyNowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// How long a Read or Write of `count` bytes may take: `timeoutMs` per byte,
// nothing for a negative time-out.
inline std::int64_t TransferSpanMs(std::int32_t count, std::int32_t timeoutMs) {
  return static_cast<std::int64_t>(count) * std::max(timeoutMs, 0);
}

// Why a write that ran out of time came back short, as the system call
// `call` left it: "write: timed out with 3 of 14 bytes not sent".
inline std::string ShortWriteText(const char* call, std::int64_t count, std::int64_t sent) {
  return std::string(call) + ": timed out with " + std::to_string(count - sent) + " of " +
         std::to_string(count) + " bytes not sent";
}

// Byte operations of one carrier: a COM port, the board library's serial
// channel, the in-process virtual camera, or a scripted line in tests. Each
// returns the number of bytes moved (>= 0), or a negated link error code
// (LinkFailure), which the link records.
class Transport {
 public:
  virtual ~Transport() = default;

  // Writes `count` bytes (count > 0) with `timeoutMs` per byte on a COM port,
  // for the whole call on the board. A short count is a time-out, whose code
  // ShortWriteFailure gives.
  virtual std::int32_t Write(const std::uint8_t* data, std::int32_t count,
                             std::int32_t timeoutMs) = 0;

  // Reads exactly `count` bytes (count > 0) within count x `timeoutMs` ms on
  // a COM port (`timeoutMs` for the whole call on the board). On a time-out
  // a COM port discards whatever did arrive and returns the negated code of
  // a line error seen meanwhile, else LinkFailure(LinkCode::kTimeOut); the
  // board returns the short count.
  virtual std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) = 0;

  // Empties the queues named by kPurge* flags: 0, or a negated code
  // (LinkCode::kPurgeFailed; the board, which has no queues of the
  // program's, LinkCode::kPortNotOpened).
  virtual std::int32_t Purge(std::uint32_t flags) = 0;

  // The negated code a short count from Write records: the time-out, or on
  // a COM port the line error flagged meanwhile, as a failed Read reports it
  // (and clears it). Asked once, right after the short Write.
  virtual std::int32_t ShortWriteFailure() { return LinkFailure(LinkCode::kTimeOut); }

  // The operating system's text for the last failure, for diagnosis; empty
  // when there is none.
  virtual std::string SystemErrorText() const { return {}; }

  // True once the line has hung up for good (a USB adapter pulled, the far
  // end of a pseudo-terminal closed): nothing will pass on it again, and the
  // device must be opened anew. Carriers that cannot tell say false.
  virtual bool LineHungUp() const { return false; }

  // Where every byte moved is logged as it moves; null = nowhere. Not owned.
  virtual void SetTrace(LineTrace* /*trace*/) {}

  // The line's clock in milliseconds, for waits that span several reads.
  virtual std::int64_t NowMs() const { return SteadyNowMs(); }
};

}  // namespace tavrel
