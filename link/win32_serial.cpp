#include "link/win32_serial.h"

#include <algorithm>

#include "link/line_errors.h"

namespace tavrel {
namespace {

// The link's flag values are the platform's own.
static_assert(kLineErrorRxOver == CE_RXOVER && kLineErrorOverrun == CE_OVERRUN &&
              kLineErrorRxParity == CE_RXPARITY && kLineErrorFrame == CE_FRAME &&
              kLineErrorBreak == CE_BREAK && kLineErrorTxFull == CE_TXFULL &&
              kLineErrorPto == CE_PTO && kLineErrorIoe == CE_IOE && kLineErrorDns == CE_DNS &&
              kLineErrorOop == CE_OOP && kLineErrorMode == CE_MODE);
static_assert(kPurgeTxAbort == PURGE_TXABORT && kPurgeRxAbort == PURGE_RXABORT &&
              kPurgeTxClear == PURGE_TXCLEAR && kPurgeRxClear == PURGE_RXCLEAR);

DWORD DeadlineSpan(std::int32_t count, std::int32_t timeoutMs) {
  return static_cast<DWORD>(std::min<std::int64_t>(TransferSpanMs(count, timeoutMs), MAXDWORD - 1));
}

}  // namespace

void Win32Serial::RememberLastError(const char* what) {
  systemError_ = std::string(what) + ": " + SystemReason(static_cast<int>(GetLastError()));
}

std::uint32_t Win32Serial::TakeLineErrors() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(handle_, &errors, &status)) errors = 0;
  const std::uint32_t flagged = latchedErrors_ | errors;
  latchedErrors_ = 0;
  return flagged;
}

DWORD Win32Serial::OutputQueued() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(handle_, &errors, &status)) return 0;
  // Asking clears the flags: they are kept for the failure that reports them.
  latchedErrors_ |= errors;
  return status.cbOutQue;
}

bool Win32Serial::ApplyTimeouts() {
  if (SetCommTimeouts(handle_, &timeouts_)) return true;
  RememberLastError("SetCommTimeouts");
  return false;
}

std::int32_t Win32Serial::Configure(const LineSettings& settings) {
  std::string failure = ApplyLineSettings(terminal_, settings);
  if (failure.empty()) return 0;
  systemError_ = std::move(failure);
  return LinkFailure(LineErrorCode(TakeLineErrors()));
}

std::int32_t Win32Serial::Write(const std::uint8_t* data, std::int32_t count,
                                std::int32_t timeoutMs) {
  timeouts_.WriteTotalTimeoutMultiplier = static_cast<DWORD>(std::max(timeoutMs, 0));
  ApplyTimeouts();
  DWORD written = 0;
  if (WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr)) {
    TraceNow(trace_, TraceDirection::kPcToCamera, data, written);
    if (written < static_cast<DWORD>(count)) {
      systemError_ = ShortWriteText("WriteFile", count, written);
    }
    return static_cast<std::int32_t>(written);
  }
  RememberLastError("WriteFile");
  PurgeComm(handle_, PURGE_TXCLEAR);
  return LinkFailure(LineErrorCode(TakeLineErrors()));
}

std::int32_t Win32Serial::Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + DeadlineSpan(count, timeoutMs);
  std::int32_t received = 0;
  // Every ReadFile waits for all the missing bytes, or for the time left.
  timeouts_.ReadIntervalTimeout = 0;
  timeouts_.ReadTotalTimeoutMultiplier = 0;
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    timeouts_.ReadTotalTimeoutConstant = static_cast<DWORD>(deadline - now);
    if (!ApplyTimeouts()) break;
    DWORD got = 0;
    if (!ReadFile(handle_, buffer + received, static_cast<DWORD>(count - received), &got,
                  nullptr)) {
      // A port that fails a blocking read (a removed adapter) would fail
      // every retry at once: end now rather than spin to the deadline.
      RememberLastError("ReadFile");
      break;
    }
    // Nothing in all the time given: the time-out ran out, or the device
    // reports an end of file that no waiting changes.
    if (got == 0) break;
    TraceNow(trace_, TraceDirection::kCameraToPc, buffer + received, got);
    received += static_cast<std::int32_t>(got);
    if (received == count) return count;
  }
  // Incomplete: what did arrive is discarded with the rest of the queue.
  PurgeComm(handle_, PURGE_RXCLEAR);
  // Code 5 unless the port flagged a line error, as on every other failure:
  // the reply wait then ends at once instead of retrying a dead port.
  return LinkFailure(LineErrorCode(TakeLineErrors()));
}

std::int32_t Win32Serial::ShortWriteFailure() {
  return LinkFailure(LineErrorCode(TakeLineErrors()));
}

std::int32_t Win32Serial::Purge(std::uint32_t flags) {
  // A completed write has handed its bytes to the line; what the camera has
  // not read yet is still the camera's (the ACK of the last reply among it).
  // Only bytes still queued for sending are dropped.
  constexpr std::uint32_t kTransmit = PURGE_TXABORT | PURGE_TXCLEAR;
  if ((flags & kTransmit) != 0 && OutputQueued() == 0) flags &= ~kTransmit;
  if (flags == 0 || PurgeComm(handle_, flags)) return 0;
  RememberLastError("PurgeComm");
  return LinkFailure(LinkCode::kPurgeFailed);
}

}  // namespace tavrel
