// One exchange on the camera line as the line monitor and tavrelctl's decoded
// trace show it: what the program was doing, the bytes each way with the
// control characters named and the checksums checked, the value, the
// outcome, and the bytes themselves with their times, so that the exchange
// can be written out again as the trace file had it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/line_trace.h"

namespace tavrel {

// One burst of bytes in one direction, as the carrier reported it: a part of
// LineRow::bytes.
struct LineBurst {
  std::int64_t atUs = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  TraceDirection direction = TraceDirection::kPcToCamera;
};

struct LineRow {
  std::uint64_t number = 0;  // 1 for the first exchange the decoder saw
  std::int64_t atUs = 0;     // its first byte, on the trace's clock
  std::string activity;      // "write GAIN = 100", "read all 3/50: SHUTTER"
  std::string toCamera;      // "ENQ, STX 01FF010A006400 ETX 3C (sum ok)"
  std::string fromCamera;    // "ACK, ACK"
  std::string value;         // "camera 100, panel 100 (wire 640000)"
  std::string outcome;       // "ACK", "reply accepted", "FAILED: ..."
  bool failed = false;
  std::int32_t code = 0;  // the link error code of a failed exchange
  std::string bytes;      // every byte of the exchange, both ways, in order
  std::vector<LineBurst> bursts;
};

// Column titles of a row, in the order of LineRowColumns.
inline constexpr int kLineRowColumnCount = 6;
const char* LineRowColumnTitle(int column);
// The row's column texts; the time in milliseconds since `firstAtUs`.
std::string LineRowColumn(const LineRow& row, int column, std::int64_t firstAtUs);
// "1234.5": milliseconds, one decimal.
std::string LineRowTime(const LineRow& row, std::int64_t firstAtUs);

// The row as one line of text, columns separated by tabs (no line end), and
// the titles the same way: what Copy puts on the clipboard and what
// tavrelctl's decoded trace writes.
std::string LineRowText(const LineRow& row, std::int64_t firstAtUs);
std::string LineRowTitles();

// The row's bytes as the trace file's lines, each with its line end.
std::string LineRowTraceLines(const LineRow& row);

}  // namespace tavrel
