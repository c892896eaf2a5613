// Terminals through the Windows communications API: a port opened without
// sharing is this program's alone.
#include "serial/terminal.h"

#include <windows.h>

#include "serial/com_ports.h"

namespace tavrel {
namespace {

constexpr DWORD kQueueBytes = 4096;

std::string Reason(const char* call) {
  return std::string(call) + ": " + SystemReason(static_cast<int>(GetLastError()));
}

}  // namespace

std::string SystemReason(int errorNumber) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorNumber), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result =
      length > 0 ? std::string(text, length) : "error " + std::to_string(errorNumber);
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result;
}

void Terminal::Close() {
  if (handle_ == NoTerminalHandle()) return;
  CloseHandle(Release());
}

TerminalOpening OpenTerminal(const std::string& path) {
  TerminalOpening opening;
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const int error = static_cast<int>(GetLastError());
    opening.failure = {path, path + ": " + SystemReason(error), error};
    return opening;
  }
  opening.terminal = Terminal(handle);
  return opening;
}

std::string ApplyLineSettings(const Terminal& terminal, const LineSettings& line) {
  if (!IsSupportedLineRate(line.baud)) return "unsupported baud rate " + std::to_string(line.baud);
  const HANDLE handle = terminal.Native();
  SetupComm(handle, kQueueBytes, kQueueBytes);
  DCB settings{};
  settings.DCBlength = sizeof settings;
  GetCommState(handle, &settings);
  settings.BaudRate = static_cast<DWORD>(line.baud);
  settings.ByteSize = static_cast<BYTE>(line.byteSize);
  settings.Parity = static_cast<BYTE>(line.parity);
  settings.StopBits = static_cast<BYTE>(line.stopBits);
  settings.fBinary = TRUE;
  settings.fParity = line.parity != 0 ? TRUE : FALSE;
  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDtrControl = DTR_CONTROL_ENABLE;
  settings.fDsrSensitivity = FALSE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  settings.fErrorChar = FALSE;
  settings.fRtsControl = RTS_CONTROL_ENABLE;
  settings.fAbortOnError = FALSE;
  if (SetCommState(handle, &settings)) return {};
  return Reason("SetCommState");
}

}  // namespace tavrel
