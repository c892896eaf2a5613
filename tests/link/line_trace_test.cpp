// A trace file reads back as it was written: every byte value, both
// directions, the remarks; lines that no trace writes are refused.
#include "link/line_trace.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tavrel {
namespace {

TEST(LineTrace, EveryLineReadsBackAsWritten) {
  std::vector<std::uint8_t> everyByte;
  for (int value = 0; value < 256; ++value) everyByte.push_back(static_cast<std::uint8_t>(value));
  for (TraceDirection direction : {TraceDirection::kPcToCamera, TraceDirection::kCameraToPc}) {
    const std::string line =
        LineTrace::FormatLine(direction, everyByte.data(), everyByte.size(), 98'765'000'123);
    const std::optional<TraceLine> read = ParseTraceLine(line + "\n");
    ASSERT_TRUE(read) << line;
    EXPECT_FALSE(read->isNote);
    EXPECT_EQ(read->direction, direction);
    EXPECT_EQ(read->atUs, 98'765'000'123);
    EXPECT_EQ(read->bytes, everyByte);
  }
  const std::optional<TraceLine> note =
      ParseTraceLine(LineTrace::FormatNote("hangup: line closed", 1'000'001));
  ASSERT_TRUE(note);
  EXPECT_TRUE(note->isNote);
  EXPECT_EQ(note->note, "hangup: line closed");
  EXPECT_EQ(note->atUs, 1'000'001);

  for (const char* stranger :
       {"", "12.345678", "12.3456 PC->CAM ENQ", "12.345678 PC->PC ENQ", "12.345678 PC->CAM",
        "12.345678 CAM->PC ACK 1G", "x2.345678 CAM->PC ACK", "12.345678 CAM->PC EOT"}) {
    EXPECT_FALSE(ParseTraceLine(stranger)) << stranger;
  }
}

}  // namespace
}  // namespace tavrel
