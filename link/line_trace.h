// Byte trace of the camera line for a service engineer: one line per burst of
// bytes in one direction, with a timestamp in seconds of the monotonic clock,
// control characters by name, other bytes as hex and the printable text
// between bars, e.g.
//   12.345678 PC->CAM STX 30 31 46 46 ... ETX 30 33  |.01FF....|
// The PC's side and the virtual camera's side write the same lines, so two
// traces of one session line up.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tavrel {

enum class TraceDirection { kPcToCamera, kCameraToPc };

class LineTrace {
 public:
  enum class OpenMode { kTruncate, kAppend };

  // Null when the file cannot be opened, with the system's reason in
  // `errorText`.
  static std::unique_ptr<LineTrace> Open(const std::string& path, OpenMode mode,
                                         std::string* errorText);
  ~LineTrace();
  LineTrace(const LineTrace&) = delete;
  LineTrace& operator=(const LineTrace&) = delete;

  // One line for `count` bytes (nothing for none), stamped `atUs`.
  void Log(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
           std::int64_t atUs);
  // A remark between the bytes, e.g. "-- hangup: line closed".
  void Note(const std::string& text, std::int64_t atUs);

  // The bytes as the trace names them: "ENQ STX 30 31 ETX".
  static std::string Describe(const std::uint8_t* bytes, std::size_t count);

 private:
  explicit LineTrace(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

// Microseconds of the monotonic clock, the trace's time base.
std::int64_t TraceClockUs();

// Logs `count` bytes to `trace` stamped now. Nothing without a trace, or for
// a count below one (a failed read or write).
void TraceNow(LineTrace* trace, TraceDirection direction, const std::uint8_t* bytes,
              std::int64_t count);

}  // namespace tavrel
