// The virtual camera's byte trace of its line, in the link's trace format
// (link/line_trace.h), so the camera's and the PC's traces line up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/line_trace.h"

namespace sim {

// Which way the bytes went: the link's own directions.
using Direction = tavrel::TraceDirection;

class TraceLog {
 public:
  // Empty path = no trace. Throws std::runtime_error when the file cannot be
  // created.
  explicit TraceLog(const std::string& path);

  void Log(Direction direction, const std::uint8_t* bytes, std::size_t count, std::int64_t atUs);
  void Note(const std::string& text, std::int64_t atUs);

  static std::string Describe(const std::uint8_t* bytes, std::size_t count) {
    return tavrel::LineTrace::Describe(bytes, count);
  }

 private:
  std::unique_ptr<tavrel::LineTrace> trace_;
};

// Monotonic clock in microseconds.
inline std::int64_t MonotonicUs() {
  return tavrel::TraceClockUs();
}

}  // namespace sim
