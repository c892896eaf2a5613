#include "link/win32_serial.h"

#include <algorithm>

#include "link/line_errors.h"
#include "link/platform_serial.h"

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

constexpr DWORD kQueueBytes = 4096;

constexpr std::int32_t kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::string SystemText(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result;
}

DWORD DeadlineSpan(std::int32_t count, std::int32_t timeoutMs) {
  return static_cast<DWORD>(std::min<std::int64_t>(TransferSpanMs(count, timeoutMs), MAXDWORD - 1));
}

}  // namespace

std::string DefaultComPortDevicePath(std::int32_t port) {
  if (port <= 0) return {};
  return "\\\\.\\COM" + std::to_string(port);
}

std::string ComPortDevicePath(std::int32_t port) {
  return DefaultComPortDevicePath(port);
}

bool IsSupportedBaudRate(std::int32_t baud) {
  return std::find(std::begin(kBaudRates), std::end(kBaudRates), baud) != std::end(kBaudRates);
}

Win32Serial::~Win32Serial() {
  CloseHandle(handle_);
}

std::unique_ptr<Win32Serial> Win32Serial::OpenDevice(const std::string& path,
                                                     std::string* errorText) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (errorText != nullptr) *errorText = path + ": " + SystemText(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<Win32Serial>(new Win32Serial(handle));
}

void Win32Serial::RememberLastError(const char* what) {
  systemError_ = std::string(what) + ": " + SystemText(GetLastError());
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

std::int32_t Win32Serial::Configure(std::int32_t baud, int byteSize, int stopBits, int parity) {
  SetupComm(handle_, kQueueBytes, kQueueBytes);
  lineSettings_.DCBlength = sizeof lineSettings_;
  GetCommState(handle_, &lineSettings_);
  lineSettings_.BaudRate = static_cast<DWORD>(baud);
  lineSettings_.ByteSize = static_cast<BYTE>(byteSize);
  lineSettings_.Parity = static_cast<BYTE>(parity);
  lineSettings_.StopBits = static_cast<BYTE>(stopBits);
  lineSettings_.fBinary = TRUE;
  lineSettings_.fParity = parity != 0 ? TRUE : FALSE;
  lineSettings_.fOutxCtsFlow = FALSE;
  lineSettings_.fOutxDsrFlow = FALSE;
  lineSettings_.fDtrControl = DTR_CONTROL_ENABLE;
  lineSettings_.fDsrSensitivity = FALSE;
  lineSettings_.fOutX = FALSE;
  lineSettings_.fInX = FALSE;
  lineSettings_.fErrorChar = FALSE;
  lineSettings_.fRtsControl = RTS_CONTROL_ENABLE;
  lineSettings_.fAbortOnError = FALSE;
  if (SetCommState(handle_, &lineSettings_)) return 0;
  RememberLastError("SetCommState");
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
      systemError_ = "WriteFile: timed out with " + std::to_string(count - written) + " of " +
                     std::to_string(count) + " bytes not sent";
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
