#include "sim/trace_log.h"

#include <stdexcept>

namespace sim {

TraceLog::TraceLog(const std::string& path) {
  if (path.empty()) return;
  std::string errorText;
  trace_ = tavrel::LineTrace::Open(path, tavrel::LineTrace::OpenMode::kTruncate, &errorText);
  if (trace_ == nullptr) throw std::runtime_error("cannot create trace file " + errorText);
}

void TraceLog::Log(Direction direction, const std::uint8_t* bytes, std::size_t count,
                   std::int64_t atUs) {
  if (trace_ == nullptr) return;
  trace_->Log(direction, bytes, count, atUs);
}

void TraceLog::Note(const std::string& text, std::int64_t atUs) {
  if (trace_ != nullptr) trace_->Note(text, atUs);
}

}  // namespace sim
