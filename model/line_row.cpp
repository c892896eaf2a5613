#include "model/line_row.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tavrel {
namespace {

constexpr std::array<const char*, kLineRowColumnCount> kTitles{
    "Time (ms)", "Activity", "PC to camera", "Camera to PC", "Value", "Outcome",
};

}  // namespace

const char* LineRowColumnTitle(int column) {
  if (column < 0 || column >= kLineRowColumnCount) return "";
  return kTitles[static_cast<std::size_t>(column)];
}

std::string LineRowTime(const LineRow& row, std::int64_t firstAtUs) {
  const long long tenths = std::max<long long>(0, (row.atUs - firstAtUs) / 100);
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%lld", tenths / 10, tenths % 10);
  return text;
}

std::string LineRowColumn(const LineRow& row, int column, std::int64_t firstAtUs) {
  switch (column) {
    case 0:
      return LineRowTime(row, firstAtUs);
    case 1:
      return row.activity;
    case 2:
      return row.toCamera;
    case 3:
      return row.fromCamera;
    case 4:
      return row.value;
    case 5:
      return row.outcome;
    default:
      return {};
  }
}

std::string LineRowText(const LineRow& row, std::int64_t firstAtUs) {
  std::string text;
  for (int column = 0; column < kLineRowColumnCount; ++column) {
    if (column > 0) text += '\t';
    text += LineRowColumn(row, column, firstAtUs);
  }
  return text;
}

std::string LineRowTitles() {
  std::string text;
  for (int column = 0; column < kLineRowColumnCount; ++column) {
    if (column > 0) text += '\t';
    text += kTitles[static_cast<std::size_t>(column)];
  }
  return text;
}

std::string LineRowTraceLines(const LineRow& row) {
  std::string lines;
  for (const LineBurst& burst : row.bursts) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(row.bytes.data()) + burst.offset;
    lines += LineTrace::FormatLine(burst.direction, bytes, burst.length, burst.atUs);
    lines += '\n';
  }
  return lines;
}

}  // namespace tavrel
