// One carrier of the camera line (a COM port, or a scripted fake in tests).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

namespace tavrel {

class LineTrace;

// Purge flags, with the values the camera line has always used.
inline constexpr std::uint32_t kPurgeTxAbort = 0x0001;
inline constexpr std::uint32_t kPurgeRxAbort = 0x0002;
inline constexpr std::uint32_t kPurgeTxClear = 0x0004;
inline constexpr std::uint32_t kPurgeRxClear = 0x0008;

// Line-error flags, with the values the camera line has always used.
inline constexpr std::uint32_t kLineErrorRxOver = 0x0001;
inline constexpr std::uint32_t kLineErrorOverrun = 0x0002;
inline constexpr std::uint32_t kLineErrorRxParity = 0x0004;
inline constexpr std::uint32_t kLineErrorFrame = 0x0008;
inline constexpr std::uint32_t kLineErrorBreak = 0x0010;
inline constexpr std::uint32_t kLineErrorTxFull = 0x0100;
inline constexpr std::uint32_t kLineErrorPto = 0x0200;
inline constexpr std::uint32_t kLineErrorIoe = 0x0400;
inline constexpr std::uint32_t kLineErrorDns = 0x0800;
inline constexpr std::uint32_t kLineErrorOop = 0x1000;
inline constexpr std::uint32_t kLineErrorMode = 0x8000;

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

// Byte operations of a COM-port carrier. Each returns the number of bytes moved
// (>= 0), or a negated link error code, which the caller records.
class Transport {
 public:
  virtual ~Transport() = default;

  // Writes `count` bytes (count > 0) with `timeoutMs` per byte. A short count
  // is a time-out and is not an error of its own.
  virtual std::int32_t Write(const std::uint8_t* data, std::int32_t count,
                             std::int32_t timeoutMs) = 0;

  // Reads exactly `count` bytes (count > 0) within count x `timeoutMs` ms.
  // On a time-out, whatever did arrive is discarded and the result is the
  // negated code of a line error seen meanwhile, else -5.
  virtual std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) = 0;

  // Empties the queues named by kPurge* flags: 0, or -8 on failure.
  virtual std::int32_t Purge(std::uint32_t flags) = 0;

  // The operating system's text for the last failure, for diagnosis; empty
  // when there is none.
  virtual std::string SystemErrorText() const { return {}; }

  // Where every byte moved is logged as it moves; null = nowhere. Not owned.
  virtual void SetTrace(LineTrace* /*trace*/) {}

  // The line's clock in milliseconds, for waits that span several reads.
  virtual std::int64_t NowMs() const { return SteadyNowMs(); }
};

}  // namespace tavrel
