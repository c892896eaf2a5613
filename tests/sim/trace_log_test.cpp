#include "sim/trace_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TEST(TraceLogTest, NamesControlCharactersAndShowsText) {
  const std::uint8_t frame[] = {0x05, 0x02, '0', '1', 0x03, '3', 'F', 0x06, 0x15, 0x7F};
  EXPECT_EQ(sim::TraceLog::Describe(frame, sizeof frame), "ENQ STX 30 31 ETX 33 46 ACK NAK 7F");

  const auto path = std::filesystem::temp_directory_path() / "tavrel_trace_log_test.txt";
  {
    sim::TraceLog log(path.string());
    log.Log(sim::Direction::kPcToCamera, frame, 1, 12'345'678);
    log.Log(sim::Direction::kCameraToPc, frame + 1, 6, 12'400'000);
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "12.345678 PC->CAM ENQ\n"
            "12.400000 CAM->PC STX 30 31 ETX 33 46  |.01.3F|\n");
  std::filesystem::remove(path);
}

TEST(TraceLogTest, UnwritableFileIsAnError) {
  EXPECT_THROW(sim::TraceLog("/nonexistent-dir/trace.txt"), std::runtime_error);
}

}  // namespace
