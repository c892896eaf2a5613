// Byte trace of the camera line for a service engineer: one line per burst of
// bytes in one direction, with a timestamp in seconds, control characters by
// name and other bytes as hex, e.g.
//   12.345678 PC->CAM STX 30 31 46 46 ... ETX 30 33
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace sim {

enum class Direction { kPcToCamera, kCameraToPc };

class TraceLog {
 public:
  // Empty path = no trace. Throws std::runtime_error when the file cannot be
  // created.
  explicit TraceLog(const std::string& path);
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  void Log(Direction direction, const std::uint8_t* bytes, std::size_t count, std::int64_t atUs);
  void Note(const std::string& text, std::int64_t atUs);

  static std::string Describe(const std::uint8_t* bytes, std::size_t count);

 private:
  std::FILE* file_ = nullptr;
};

// Monotonic clock in microseconds.
std::int64_t MonotonicUs();

}  // namespace sim
