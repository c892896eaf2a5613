// A COM port on a POSIX terminal device (a serial port, a USB adapter or a
// pseudo-terminal standing in for the camera).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/line_error_latch.h"
#include "link/line_trace.h"
#include "link/transport.h"
#include "serial/terminal.h"

namespace tavrel {

class PosixSerial : public Transport {
 public:
  // Carries the line over `terminal` (OpenTerminal's).
  explicit PosixSerial(Terminal terminal);
  PosixSerial(const PosixSerial&) = delete;
  PosixSerial& operator=(const PosixSerial&) = delete;

  // Sets the line (ApplyLineSettings). 0, or a negated link error code.
  std::int32_t Configure(const LineSettings& settings);

  // Returns once the bytes have left the port (the output queue is empty), or
  // at the deadline with the count that did leave; what was still queued then
  // is dropped.
  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) override;
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override;
  // The transmit side is emptied only of bytes still waiting in the output
  // queue: what has left the port is the camera's.
  std::int32_t Purge(std::uint32_t flags) override;
  std::int32_t ShortWriteFailure() override { return Failure(); }
  std::string SystemErrorText() const override { return systemError_; }
  bool LineHungUp() const override;
  void SetTrace(LineTrace* trace) override { trace_ = trace; }

  // Where the line-error counters come from: the driver's by default. A
  // source returns false when there are none (pseudo-terminals).
  using LineCounterSource = std::function<bool(LineErrorCounts*)>;
  void SetLineCounterSource(LineCounterSource source);
  // Where the output queue's length comes from: the driver's by default. A
  // source returns false when the device has failed.
  using OutputQueueSource = std::function<bool(int*)>;
  void SetOutputQueueSource(OutputQueueSource source) { queueSource_ = std::move(source); }

 private:
  // The flags latched since the last failure, cleared by this report.
  std::uint32_t TakeLineErrors();
  // Failure of a read or write: the flagged line error's code, else 5.
  std::int32_t Failure();
  // Waits until the output queue is empty: 0, the number of bytes still
  // queued at the deadline, or -1 when the device failed.
  std::int32_t DrainOutput(std::int64_t deadlineUs);
  std::int32_t OutputQueued();
  void RememberErrno(const char* what);

  Terminal terminal_;
  const int fd_;  // terminal_'s
  std::string systemError_;
  LineCounterSource counterSource_;
  OutputQueueSource queueSource_;
  LineErrorLatch lineErrors_;
  std::int64_t characterUs_;  // wire time of one character at the line's settings
  LineTrace* trace_ = nullptr;
};

}  // namespace tavrel
