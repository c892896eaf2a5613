#include "panel/panel_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrel::panel {
namespace {

constexpr int kTypeCount = 7;

int TableRow(int cameraType) {
  return cameraType >= 0 && cameraType < kTypeCount ? cameraType : 0;
}

constexpr std::array<int, kTypeCount> kLineLimits = {1237, 769, 495, 495, 1237, 495, 495};

constexpr std::array<std::array<std::string_view, 6>, kTypeCount> kShutterPresets = {{
    {"1/15", "1/60", "1/125", "1/250", "1/1000", "1/2000"},
    {"1/36", "1/60", "1/125", "1/250", "1/1000", "1/2000"},
    {"1/60", "1/250", "1/500", "1/1000", "1/2000", "1/4000"},
    {"1/91", "1/250", "1/500", "1/1000", "1/2000", "1/4000"},
    {"1/30", "1/60", "1/125", "1/250", "1/1000", "1/2000"},
    {"1/120", "1/250", "1/500", "1/1000", "1/2000", "1/4000"},
    {"1/60", "1/250", "1/500", "1/1000", "1/2000", "1/4000"},
}};

struct CameraTiming {
  TimingFigures horizontal;
  TimingFigures vertical;
  int partialScanDivisor;
};

// The figures as the camera makers publish them (for KESTRA-P/S the
// horizontal parts add up to 1918 while the total reads 1920).
constexpr std::array<CameraTiming, kTypeCount> kTimings = {{
    {{100, 161, 1628, 31, 1920}, {3, 9, 1236, 4, 1252}, 13},
    {{94, 134, 1024, 18, 1270}, {9, 7, 768, 8, 792}, 10},
    {{60, 49, 659, 12, 780}, {9, 5, 494, 17, 525}, 10},
    {{60, 57, 659, 4, 780}, {3, 11, 494, 3, 511}, 7},
    {{100, 158, 1628, 32, 1920}, {3, 9, 1236, 4, 1252}, 8},
    {{60, 57, 659, 4, 780}, {3, 11, 494, 17, 525}, 5},
    {{60, 57, 659, 4, 780}, {3, 11, 494, 17, 525}, 5},
}};

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

}  // namespace

int LineLimit(int cameraType) {
  return kLineLimits[TableRow(cameraType)];
}

std::array<std::string_view, 8> ShutterPresetCaptions(int cameraType) {
  const auto& row = kShutterPresets[TableRow(cameraType)];
  return {row[0], row[1], row[2], row[3], row[4], row[5], "1/10000", "1/50000"};
}

std::string VariableShutterText(int value) {
  const int decade = value / 256;
  const int step = value % 256;
  const double exposureUs =
      std::pow(10.0, decade + 1) * (static_cast<double>(step) * 0.00390625 * 9.0 + 1.0);
  if (value >= 1280) return Format("%.2f sec", exposureUs * 1e-6);
  return Format("1/%.2f sec", (1.0 / exposureUs) * 1000000.0);
}

std::string GainText(int cameraType, int value) {
  if (TableRow(cameraType) <= 3) return Format("%2.2f dB", value * 0.04);
  return Format("%2.4f dB", value * 0.0358);
}

std::string PlainValueText(int value) {
  return Format(" %d ", value);
}

TimingFigures HorizontalTiming(int cameraType) {
  return kTimings[TableRow(cameraType)].horizontal;
}

TimingFigures VerticalTiming(int cameraType, bool partialScanOn, int start, int width) {
  const CameraTiming& timing = kTimings[TableRow(cameraType)];
  if (!partialScanOn) return timing.vertical;
  const int vs = timing.vertical.sync;
  const int vbp = timing.vertical.bporch;
  const int vtot = timing.vertical.total;
  const int div = timing.partialScanDivisor;
  TimingFigures figures;
  figures.sync = vs;
  figures.bporch = vbp + start / div;
  figures.active = width;
  figures.total = vbp + vs + width + 3 + (vtot - vbp - vs - width - 1) / div;
  figures.fporch = figures.total - figures.bporch - vs - width;
  return figures;
}

std::optional<int> NextScrollPosition(ScrollRequest request, int position, int minimum, int maximum,
                                      int carried) {
  switch (request) {
    case ScrollRequest::kLineUp:
      return std::max(position - 1, minimum);
    case ScrollRequest::kLineDown:
      return std::min(position + 1, maximum);
    case ScrollRequest::kPageUp:
      return std::max(position - 10, minimum);
    case ScrollRequest::kPageDown:
      return std::min(position + 10, maximum);
    case ScrollRequest::kThumbPosition:
    case ScrollRequest::kThumbTrack:
      return carried;
    case ScrollRequest::kToTop:
    case ScrollRequest::kToBottom:
    case ScrollRequest::kEndScroll:
      break;
  }
  return std::nullopt;
}

}  // namespace tavrel::panel
