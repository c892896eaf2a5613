// Two programs appending to the adjustment log at once, each reading Adjust
// GAIN from its own camera paced like a real line: no record is lost and each
// carries its own program's values.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <regex>
#include <string>

#include "model/adjustment_log.h"
#include "model/camera_unit.h"
#include "model/identification_text.h"
#include "model/parameter_document.h"
#include "model/serial_number.h"
#include "sim/pty_camera.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using testing::CameraTypeScope;
using testing::Lines;
using testing::ReadBytes;
using testing::TempFolder;

constexpr int kRecordsPerWriter = 10;

struct Writer {
  const char* serialNumber;
  std::uint8_t adjustGainHigh;  // Adjust GAIN in the camera, high byte then low byte
  std::uint8_t adjustGainLow;
  const char* line;  // the record it writes, after the time
};
constexpr std::array<Writer, 2> kWriters{{
    {"0000001", 0x02, 0xBC, "LOMIRA-P/S,0000001,700,"},
    {"0000002", 0x01, 0x2C, "LOMIRA-P/S,0000002,300,"},
}};

// In a child process: its own camera and table, then the records once the
// start pipe closes. The exit status is the number of records lost.
[[noreturn]] void RunWriter(const Writer& writer, const std::string& log, int start) {
  sim::CameraOptions options;
  options.model = CameraModelName(0);
  options.paceBaud = 9600;
  sim::PtyCamera simulated(options);
  simulated.WriteRegister(1, 0x01, 0x1C, {writer.adjustGainHigh, writer.adjustGainLow, 0});
  CameraUnit camera;
  {
    CameraTypeScope scope(0);
    camera.InitTable();
  }
  for (int index = 0; index < kParameterCount; ++index) camera.ResetValue(index);
  if (camera.OpenSerialDevice(simulated.DevicePath(), 9600) < 0) _exit(100);
  const auto entries = SerialNumberEntryValues(writer.serialNumber);
  for (int i = 0; i < 4; ++i) camera.SetValue(kSerialNumberFirst + i, entries[i], false);
  ParameterDocument document(camera);

  char go = 0;
  if (read(start, &go, 1) != 0) _exit(101);
  int lost = 0;
  for (int record = 0; record < kRecordsPerWriter; ++record) {
    if (!AppendAdjustmentRecord(document, log, "LOMIRA-P/S", SystemLocalTime)) ++lost;
  }
  camera.Close();
  simulated.Stop();
  _exit(lost);
}

TEST(AdjustmentLogWriters, TwoProgramsAtOnceLoseNoRecord) {
  const TempFolder dir("log-writers");
  const std::string log = dir.File("TAVREL_Camera_AdjustData.csv");
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::array<pid_t, kWriters.size()> children{};
  for (std::size_t i = 0; i < kWriters.size(); ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      close(start[1]);
      RunWriter(kWriters[i], log, start[0]);
    }
  }
  // Closing the pipe lets both start at once.
  close(start[0]);
  close(start[1]);
  for (std::size_t i = 0; i < kWriters.size(); ++i) {
    int status = 0;
    ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "records lost by writer " << i;
  }

  const std::string bytes = ReadBytes(log);
  ASSERT_EQ(bytes.rfind(std::string(AdjustmentLogHeader()), 0), 0u);
  const std::regex record(R"(\d{4}\.[ 1]\d\.[ 123]\d \d{1,2}:\d{1,2},(.*)\r)");
  std::array<int, kWriters.size()> counts{};
  const auto lines = Lines(bytes.substr(AdjustmentLogHeader().size()));
  for (const std::string& line : lines) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, record)) << line;
    for (std::size_t i = 0; i < kWriters.size(); ++i) {
      if (match[1] == kWriters[i].line) ++counts[i];
    }
  }
  EXPECT_EQ(lines.size(), kWriters.size() * kRecordsPerWriter);
  EXPECT_EQ(counts, (std::array<int, kWriters.size()>{kRecordsPerWriter, kRecordsPerWriter}));
}

}  // namespace
}  // namespace tavrel
