#include "sim/trace_log.h"

#include <ctime>
#include <stdexcept>

namespace sim {

std::int64_t MonotonicUs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

TraceLog::TraceLog(const std::string& path) {
  if (path.empty()) return;
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) throw std::runtime_error("cannot create trace file " + path);
}

TraceLog::~TraceLog() {
  if (file_ != nullptr) std::fclose(file_);
}

std::string TraceLog::Describe(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (!text.empty()) text += ' ';
    switch (bytes[i]) {
      case 0x02:
        text += "STX";
        break;
      case 0x03:
        text += "ETX";
        break;
      case 0x05:
        text += "ENQ";
        break;
      case 0x06:
        text += "ACK";
        break;
      case 0x15:
        text += "NAK";
        break;
      default: {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        text += hex;
      }
    }
  }
  return text;
}

void TraceLog::Log(Direction direction, const std::uint8_t* bytes, std::size_t count,
                   std::int64_t atUs) {
  if (file_ == nullptr || count == 0) return;
  const char* way = direction == Direction::kPcToCamera ? "PC->CAM" : "CAM->PC";
  // The bytes as text too, so a body reads at a glance.
  std::string text;
  bool printable = false;
  for (std::size_t i = 0; i < count; ++i) {
    const bool shown = bytes[i] >= 0x20 && bytes[i] < 0x7F;
    printable = printable || shown;
    text += shown ? static_cast<char>(bytes[i]) : '.';
  }
  std::fprintf(file_, "%lld.%06lld %s %s%s\n", static_cast<long long>(atUs / 1'000'000),
               static_cast<long long>(atUs % 1'000'000), way, Describe(bytes, count).c_str(),
               printable ? ("  |" + text + "|").c_str() : "");
  std::fflush(file_);
}

void TraceLog::Note(const std::string& text, std::int64_t atUs) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%lld.%06lld -- %s\n", static_cast<long long>(atUs / 1'000'000),
               static_cast<long long>(atUs % 1'000'000), text.c_str());
  std::fflush(file_);
}

}  // namespace sim
