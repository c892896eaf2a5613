// A COM port through the Windows communications API ("\\.\COMn").
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "link/line_trace.h"
#include "link/transport.h"
#include "serial/terminal.h"

namespace tavrel {

class Win32Serial : public Transport {
 public:
  // Carries the line over `terminal` (OpenTerminal's).
  explicit Win32Serial(Terminal terminal)
      : terminal_(std::move(terminal)), handle_(terminal_.Native()) {}
  Win32Serial(const Win32Serial&) = delete;
  Win32Serial& operator=(const Win32Serial&) = delete;

  // Sets the line (ApplyLineSettings). 0, or the negated code of the line
  // error flagged when the settings are refused (the port stays open).
  std::int32_t Configure(const LineSettings& settings);

  // Synchronous, `timeoutMs` per byte: returns the count that left the port
  // before the time-out ran out.
  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) override;
  // ReadFile blocks for at most the time left of count x `timeoutMs`; it is
  // never polled with zero time-outs.
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override;
  // The transmit side is emptied only of bytes still queued for sending.
  std::int32_t Purge(std::uint32_t flags) override;
  std::int32_t ShortWriteFailure() override;
  std::string SystemErrorText() const override { return systemError_; }
  void SetTrace(LineTrace* trace) override { trace_ = trace; }

 private:
  // Reads and clears the port's line-error flags (CE_*), with those seen
  // meanwhile by OutputQueued.
  std::uint32_t TakeLineErrors();
  // Bytes waiting in the driver's output queue (0 when it cannot tell).
  DWORD OutputQueued();
  bool ApplyTimeouts();
  void RememberLastError(const char* what);

  Terminal terminal_;
  const HANDLE handle_;  // terminal_'s
  // Read and Write each set their own values before every call and leave
  // the rest as they were.
  COMMTIMEOUTS timeouts_{};
  std::string systemError_;
  // Line errors ClearCommError reported outside a failure, kept until one
  // reports them.
  std::uint32_t latchedErrors_ = 0;
  LineTrace* trace_ = nullptr;
};

}  // namespace tavrel
