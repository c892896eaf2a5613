// Serves a virtual camera on a pseudo-terminal: the PC opens the terminal side
// (DevicePath), the host reads and writes the master side, paces the line,
// hears the PC only at the camera's own rate when it has one, and writes the
// trace. Or on a real serial line: the host holds the device, and the line's
// own rate paces it and decides what is heard.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "serial/terminal.h"
#include "sim/camera_options.h"
#include "sim/responder.h"
#include "sim/trace_log.h"

namespace sim {

class PtyHost {
 public:
  // Throws std::runtime_error (pty) or std::invalid_argument (options).
  explicit PtyHost(const CameraOptions& options);
  // Serves on the serial device `linePath` (any terminal) at the options'
  // pace rate, 9600 when it is 0, 8 data bits, no parity, two stop bits, no
  // flow control, for this program alone. Throws std::runtime_error when
  // the device cannot be opened or set.
  PtyHost(const CameraOptions& options, const std::string& linePath);
  ~PtyHost();
  PtyHost(const PtyHost&) = delete;
  PtyHost& operator=(const PtyHost&) = delete;

  const std::string& DevicePath() const { return devicePath_; }

  // Serves until `stopFd` becomes readable (returns false) or the line was
  // closed (returns true): by the hangup fault, or on a serial device by the
  // device going away. Never busy-waits.
  bool Serve(int stopFd);

  // Runs `action` on the responder under the host's lock.
  template <typename Action>
  auto WithResponder(Action action) {
    std::lock_guard lock(mutex_);
    return action(responder_);
  }

  // Closes both sides of the pty; the PC sees the line hang up.
  void CloseLine();

 private:
  void OpenLine(const std::string& linePath, int baud);
  // Waits until `deadlineUs` (monotonic); false when `stopFd` fired first.
  static bool WaitUntil(std::int64_t deadlineUs, int stopFd);
  bool Answer(const std::vector<std::uint8_t>& out, int stopFd);
  // False (and a note in the trace) when the camera answers at one rate only
  // and the PC's line is set to another: the bytes are not heard.
  bool HearsPcLine(std::int64_t nowUs);

  std::mutex mutex_;
  Responder responder_;
  TraceLog trace_;
  long long characterUs_;
  long long turnaroundUs_;
  int lineBaud_ = 0;  // 0 = any rate
  int master_ = -1;
  int slave_ = -1;             // kept open so the line stays up between PC sessions
  tavrel::Terminal line_;      // the serial device, held as master_, when serving on one
  bool serialDevice_ = false;  // master_ is a serial device, not a pty's master side
  std::string devicePath_;
  std::int64_t rxEndUs_ = 0;  // when the last received byte finished on the wire
};

}  // namespace sim
