// A serial terminal held by this program alone, and the line it runs: how the
// PC's COM port and the virtual camera's real line (tavrel-camsim --device)
// open their device. Locking, exclusive mode and the line settings are set
// up here once; reads and writes are the holder's business.
#pragma once

#include <cstdint>
#include <string>

namespace tavrel {

#ifdef _WIN32
using TerminalHandle = void*;  // a HANDLE
// INVALID_HANDLE_VALUE.
inline TerminalHandle NoTerminalHandle() {
  return reinterpret_cast<TerminalHandle>(static_cast<std::intptr_t>(-1));
}
#else
using TerminalHandle = int;  // a file descriptor
inline TerminalHandle NoTerminalHandle() {
  return -1;
}
#endif

// Why a device could not be opened: its path as it was named, the system's
// error number (errno; GetLastError() on Windows) and its reason with the
// path ("/dev/ttyUSB0: Permission denied"). Empty, errorNumber 0, when
// nothing failed.
struct OpenFailure {
  std::string devicePath;
  std::string reason;
  int errorNumber = 0;
};

// The system's text for one of its error numbers (errno; on Windows a
// GetLastError() code).
std::string SystemReason(int errorNumber);

// Line settings, with the values of the platform's serial settings record.
struct LineSettings {
  std::int32_t baud = 9600;
  int byteSize = 8;  // 5 to 8
  int stopBits = 2;  // 0 one; 1 (one and a half) and 2 two
  int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
};

// The camera's line at `baud`: 8 data bits, no parity, two stop bits.
constexpr LineSettings CameraLine(std::int32_t baud) {
  return {baud, 8, 2, 0};
}

// How long one character takes on the wire (start bit, data bits, parity
// bit, stop bits), in microseconds.
std::int64_t CharacterTimeUs(const LineSettings& settings);

struct TerminalOpening;

// An open terminal; closing it gives its exclusive mode back first.
class Terminal {
 public:
  Terminal() = default;
  ~Terminal() { Close(); }
  Terminal(Terminal&& other) noexcept : handle_(other.Release()) {}
  Terminal& operator=(Terminal&& other) noexcept;
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  explicit operator bool() const { return handle_ != NoTerminalHandle(); }
  TerminalHandle Native() const { return handle_; }
  void Close();

 private:
  friend TerminalOpening OpenTerminal(const std::string& path);
  explicit Terminal(TerminalHandle handle) : handle_(handle) {}
  TerminalHandle Release() {
    const TerminalHandle handle = handle_;
    handle_ = NoTerminalHandle();
    return handle;
  }

  TerminalHandle handle_ = NoTerminalHandle();
};

// The terminal, or why it did not open.
struct TerminalOpening {
  Terminal terminal;
  OpenFailure failure;  // empty when `terminal` is open
};

// Opens the device `path` for reading and writing, for this program alone:
// while it is open, neither another program nor a second open in this one
// gets it, as they would take the camera's answers. Not a terminal, busy
// (errorNumber EBUSY, ERROR_ACCESS_DENIED on Windows) and missing devices
// fail. Nothing blocks: on Linux a modem line without carrier cannot hang
// the open, and all waiting is left to the holder's poll().
TerminalOpening OpenTerminal(const std::string& path);

// Sets the line to `settings`: raw bytes, no flow control, DTR and RTS on.
// On Windows the driver's queues are 4096 bytes each first, and the port's
// other settings stay as it reports them. Returns the reason it failed
// ("unsupported baud rate 57600", "tcsetattr: ..."), empty on success; the
// terminal stays open either way.
std::string ApplyLineSettings(const Terminal& terminal, const LineSettings& settings);

}  // namespace tavrel
