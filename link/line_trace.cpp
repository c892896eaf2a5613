#include "link/line_trace.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "link/file_paths.h"
#include "link/line_watcher.h"
#include "link/transport.h"

namespace tavrel {
namespace {

constexpr const char* kPcToCamera = "PC->CAM";
constexpr const char* kCameraToPc = "CAM->PC";
constexpr const char* kNoteMark = "--";

struct NamedByte {
  std::uint8_t byte;
  const char* name;
};
constexpr NamedByte kNamedBytes[] = {
    {0x02, "STX"}, {0x03, "ETX"}, {0x05, "ENQ"}, {0x06, "ACK"}, {0x15, "NAK"},
};

std::string Stamp(std::int64_t atUs) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(atUs / 1'000'000),
                static_cast<long long>(atUs % 1'000'000));
  return text;
}

std::optional<std::int64_t> ParseStamp(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos || text.size() - dot - 1 != 6) return std::nullopt;
  long long seconds = 0;
  long long micros = 0;
  const char* end = text.data() + dot;
  if (std::from_chars(text.data(), end, seconds).ptr != end) return std::nullopt;
  end = text.data() + text.size();
  if (std::from_chars(text.data() + dot + 1, end, micros).ptr != end) return std::nullopt;
  return seconds * 1'000'000 + micros;
}

std::optional<std::uint8_t> ParseByte(std::string_view token) {
  for (const NamedByte& named : kNamedBytes) {
    if (token == named.name) return named.byte;
  }
  unsigned value = 0;
  const char* end = token.data() + token.size();
  if (token.size() != 2 || std::from_chars(token.data(), end, value, 16).ptr != end) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(value);
}

}  // namespace

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
  auto trace = std::make_unique<LineTrace>();
  if (!trace->OpenFile(path, mode, errorText)) return nullptr;
  return trace;
}

LineTrace::~LineTrace() {
  CloseFile();
}

bool LineTrace::OpenFile(const std::string& path, OpenMode mode, std::string* errorText) {
  std::FILE* file = OpenFileStream(path, mode == OpenMode::kAppend ? "a" : "w");
  if (file == nullptr) {
    if (errorText != nullptr) *errorText = path + ": " + std::strerror(errno);
    return false;
  }
  CloseFile();
  file_ = file;
  return true;
}

void LineTrace::CloseFile() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

std::string LineTrace::Describe(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (!text.empty()) text += ' ';
    const char* name = nullptr;
    for (const NamedByte& named : kNamedBytes) {
      if (named.byte == bytes[i]) name = named.name;
    }
    if (name != nullptr) {
      text += name;
    } else {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
      text += hex;
    }
  }
  return text;
}

std::string LineTrace::FormatLine(TraceDirection direction, const std::uint8_t* bytes,
                                  std::size_t count, std::int64_t atUs) {
  // The bytes as text too, so a body reads at a glance.
  std::string text;
  bool printable = false;
  for (std::size_t i = 0; i < count; ++i) {
    const bool shown = bytes[i] >= 0x20 && bytes[i] < 0x7F;
    printable = printable || shown;
    text += shown ? static_cast<char>(bytes[i]) : '.';
  }
  std::string line = Stamp(atUs);
  line += ' ';
  line += direction == TraceDirection::kPcToCamera ? kPcToCamera : kCameraToPc;
  line += ' ';
  line += Describe(bytes, count);
  if (printable) line += "  |" + text + "|";
  return line;
}

std::string LineTrace::FormatNote(const std::string& text, std::int64_t atUs) {
  return Stamp(atUs) + ' ' + kNoteMark + ' ' + text;
}

void LineTrace::WriteLine(const std::string& line) {
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  // Flushed at once: the trace must survive a crash or a killed process.
  std::fflush(file_);
}

void LineTrace::Log(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
                    std::int64_t atUs) {
  if (count == 0) return;
  if (file_ != nullptr) WriteLine(FormatLine(direction, bytes, count, atUs));
  if (watcher_ != nullptr) watcher_->OnLineBytes(direction, bytes, count, atUs);
}

void LineTrace::Note(const std::string& text, std::int64_t atUs) {
  if (file_ != nullptr) WriteLine(FormatNote(text, atUs));
}

std::optional<TraceLine> ParseTraceLine(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  const std::size_t stampEnd = line.find(' ');
  if (stampEnd == std::string_view::npos) return std::nullopt;
  const std::optional<std::int64_t> atUs = ParseStamp(line.substr(0, stampEnd));
  if (!atUs) return std::nullopt;
  TraceLine parsed;
  parsed.atUs = *atUs;
  std::string_view rest = line.substr(stampEnd + 1);
  const std::string noteStart = std::string(kNoteMark) + ' ';
  if (rest.substr(0, noteStart.size()) == noteStart) {
    parsed.isNote = true;
    parsed.note = std::string(rest.substr(noteStart.size()));
    return parsed;
  }
  const std::size_t wayEnd = rest.find(' ');
  if (wayEnd == std::string_view::npos) return std::nullopt;
  const std::string_view way = rest.substr(0, wayEnd);
  if (way == kPcToCamera) {
    parsed.direction = TraceDirection::kPcToCamera;
  } else if (way == kCameraToPc) {
    parsed.direction = TraceDirection::kCameraToPc;
  } else {
    return std::nullopt;
  }
  // The bytes end where the printable text begins ("  |...|").
  std::string_view bytes = rest.substr(wayEnd + 1);
  bytes = bytes.substr(0, bytes.find("  |"));
  while (!bytes.empty()) {
    const std::size_t tokenEnd = bytes.find(' ');
    const std::optional<std::uint8_t> byte = ParseByte(bytes.substr(0, tokenEnd));
    if (!byte) return std::nullopt;
    parsed.bytes.push_back(*byte);
    bytes = tokenEnd == std::string_view::npos ? std::string_view() : bytes.substr(tokenEnd + 1);
  }
  if (parsed.bytes.empty()) return std::nullopt;
  return parsed;
}

}  // namespace tavrel
