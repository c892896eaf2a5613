// Terminals through the Windows communications API: a port opened without
// sharing is this program's alone.
#include "serial/terminal.h"

#include <windows.h>

#include <algorithm>

#include "serial/com_ports.h"
#include "serial/windows_text.h"

namespace tavrel {
namespace {

constexpr DWORD kQueueBytes = 4096;

std::string Reason(const char* call) {
  return std::string(call) + ": " + SystemReason(static_cast<int>(GetLastError()));
}

}  // namespace

std::string SystemReason(int errorNumber) {
  // In the user's language, as UTF-8 like every other text of the program.
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorNumber), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length > 0 ? Utf8Text(std::wstring_view(text, length)) : std::string();
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result.empty() ? "error " + std::to_string(errorNumber) : result;
}

bool IsBusyFailure(const OpenFailure& failure) {
  return failure.errorNumber == static_cast<int>(ERROR_ACCESS_DENIED);
}

void Terminal::Close() {
  if (handle_ == NoTerminalHandle()) return;
  CloseHandle(Release());
}

TerminalOpening OpenTerminal(const std::string& path) {
  TerminalOpening opening;
  const HANDLE handle = CreateFileW(WideText(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
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
  // A handle that is no port (a file, a pipe) fails here.
  if (!SetupComm(handle, kQueueBytes, kQueueBytes)) return Reason("SetupComm");
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (!GetCommState(handle, &settings)) return Reason("GetCommState");
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
