#include "link/line_trace.h"

#include <cerrno>
#include <cstring>

#include "link/file_paths.h"
#include "link/transport.h"

namespace tavrel {

std::int64_t TraceClockUs() {
  return SteadyNowUs();
}

void TraceNow(LineTrace* trace, TraceDirection direction, const std::uint8_t* bytes,
              std::int64_t count) {
  if (trace != nullptr && count > 0) {
    trace->Log(direction, bytes, static_cast<std::size_t>(count), TraceClockUs());
  }
}

std::unique_ptr<LineTrace> LineTrace::Open(const std::string& path, OpenMode mode,
                                           std::string* errorText) {
  std::FILE* file = OpenFileStream(path, mode == OpenMode::kAppend ? "a" : "w");
  if (file == nullptr) {
    if (errorText != nullptr) *errorText = path + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<LineTrace>(new LineTrace(file));
}

LineTrace::~LineTrace() {
  std::fclose(file_);
}

std::string LineTrace::Describe(const std::uint8_t* bytes, std::size_t count) {
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

void LineTrace::Log(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
                    std::int64_t atUs) {
  if (count == 0) return;
  const char* way = direction == TraceDirection::kPcToCamera ? "PC->CAM" : "CAM->PC";
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
  // Flushed at once: the trace must survive a crash or a killed process.
  std::fflush(file_);
}

void LineTrace::Note(const std::string& text, std::int64_t atUs) {
  std::fprintf(file_, "%lld.%06lld -- %s\n", static_cast<long long>(atUs / 1'000'000),
               static_cast<long long>(atUs % 1'000'000), text.c_str());
  std::fflush(file_);
}

}  // namespace tavrel
