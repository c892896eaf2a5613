// Byte trace of the camera line for a service engineer: one line per burst of
// bytes in one direction, with a timestamp in seconds of the monotonic clock,
// control characters by name, other bytes as hex and the printable text
// between bars, e.g.
//   12.345678 PC->CAM STX 30 31 46 46 ... ETX 30 33  |.01FF....|
// The PC's side and the virtual camera's side write the same lines, so two
// traces of one session line up.
//
// A LineTrace is also the point every carrier reports its bytes to: besides
// (or instead of) its file it hands them to a watcher (link/line_watcher.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

enum class TraceDirection { kPcToCamera, kCameraToPc };

class LineWatcher;

class LineTrace {
 public:
  enum class OpenMode { kTruncate, kAppend };

  // Null when the file cannot be opened, with the system's reason in
  // `errorText`.
  static std::unique_ptr<LineTrace> Open(const std::string& path, OpenMode mode,
                                         std::string* errorText);
  // A trace with no file yet: bytes go to the watcher alone.
  LineTrace() = default;
  ~LineTrace();
  LineTrace(const LineTrace&) = delete;
  LineTrace& operator=(const LineTrace&) = delete;

  // Writes to the file at `path` from now on, in place of any earlier one.
  // False when it cannot be opened (the earlier file stays), with the
  // system's reason in `errorText`.
  bool OpenFile(const std::string& path, OpenMode mode, std::string* errorText);
  void CloseFile();
  bool HasFile() const { return file_ != nullptr; }

  // Who also gets every burst; null = nobody. Not owned.
  void SetWatcher(LineWatcher* watcher) { watcher_ = watcher; }
  LineWatcher* Watcher() const { return watcher_; }

  // One line for `count` bytes (nothing for none), stamped `atUs`.
  void Log(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
           std::int64_t atUs);
  // A remark between the bytes, e.g. "-- hangup: line closed".
  void Note(const std::string& text, std::int64_t atUs);

  // The bytes as the trace names them: "ENQ STX 30 31 ETX".
  static std::string Describe(const std::uint8_t* bytes, std::size_t count);
  // The file's line for a burst and for a remark, without the line end.
  static std::string FormatLine(TraceDirection direction, const std::uint8_t* bytes,
                                std::size_t count, std::int64_t atUs);
  static std::string FormatNote(const std::string& text, std::int64_t atUs);

 private:
  void WriteLine(const std::string& line);

  std::FILE* file_ = nullptr;
  LineWatcher* watcher_ = nullptr;
};

// One line of a trace file read back: a burst of bytes or a remark.
struct TraceLine {
  std::int64_t atUs = 0;
  bool isNote = false;
  TraceDirection direction = TraceDirection::kPcToCamera;
  std::vector<std::uint8_t> bytes;
  std::string note;
};
// Nothing when the line is not one a trace writes.
std::optional<TraceLine> ParseTraceLine(std::string_view line);

// Microseconds of the monotonic clock, the trace's time base.
std::int64_t TraceClockUs();

// Logs `count` bytes to `trace` stamped now. Nothing without a trace, or for
// a count below one (a failed read or write).
void TraceNow(LineTrace* trace, TraceDirection direction, const std::uint8_t* bytes,
              std::int64_t count);

}  // namespace tavrel
