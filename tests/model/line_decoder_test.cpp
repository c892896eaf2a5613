// The line monitor's decoder against the virtual camera behind the real link
// (in the same process, on a virtual clock, so time-outs pass at once): one
// exchange of each kind, with the camera's faults, and the row it makes.
#include "model/line_decoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/camera_unit.h"
#include "model/manual_command.h"
#include "model/register_access.h"
#include "sim/camera_command_line.h"
#include "sim/in_process_camera.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

constexpr int kKestra = 4;

int EntryNamed(const CameraUnit& camera, const std::string& name) {
  for (int index = 0; index < kParameterCount; ++index) {
    if (camera.GetName(index) == name) return index;
  }
  return -1;
}

struct Case {
  const char* name;
  std::vector<const char*> faults;
  std::function<void(CameraUnit&)> run;
  // The row expected of the exchange numbered `row` (from 0; -1: the last).
  int row;
  std::string activity;
  std::string toCamera;
  std::string fromCamera;
  std::string value;
  std::string outcome;
};

class LineDecoderTest : public ::testing::TestWithParam<Case> {};

TEST_P(LineDecoderTest, ExchangeBecomesRow) {
  const Case& c = GetParam();
  testing::CameraTypeScope type(kKestra);
  sim::CameraOptions options;
  options.model = CameraModelName(kKestra);
  for (const char* fault : c.faults) options.faults.push_back(sim::ParseFault(fault));
  sim::InProcessCamera virtualCamera(options, sim::CameraTime::kVirtual);
  CameraUnit camera;
  camera.InitTable();
  for (int index = 0; index < kParameterCount; ++index) camera.ResetValue(index);
  testing::RecordingPrompt prompt;
  camera.SetUserPrompt(&prompt);
  camera.AttachTransport(virtualCamera.Connect(), 1, 9600);
  std::vector<LineRow> rows;
  LineDecoder decoder(camera, [&rows](LineRow&& row) { rows.push_back(std::move(row)); });
  camera.WatchLine(&decoder);

  c.run(camera);
  ASSERT_GT(rows.size(), static_cast<std::size_t>(std::max(c.row, 0)));
  const LineRow& row = c.row < 0 ? rows.back() : rows[static_cast<std::size_t>(c.row)];
  EXPECT_EQ(row.activity, c.activity);
  EXPECT_EQ(row.toCamera, c.toCamera);
  EXPECT_EQ(row.fromCamera, c.fromCamera);
  EXPECT_EQ(row.value, c.value);
  EXPECT_EQ(row.outcome, c.outcome);
  EXPECT_EQ(row.failed, row.outcome.rfind("FAILED", 0) == 0);
  camera.WatchLine(nullptr);
}

void WriteGain(CameraUnit& camera) {
  camera.WriteParameter(EntryNamed(camera, "GAIN"), 100);
}
void ReadGain(CameraUnit& camera) {
  camera.ReadParameter(EntryNamed(camera, "GAIN"));
}

// GAIN (KESTRA-P/S) is the settings register 0C with a two-byte range: its
// value goes most significant byte first. An empty reply frame (value 0)
// has the checksum DA.
const Case kCases[] = {
    {"Write",
     {},
     WriteGain,
     -1,
     "write GAIN = 100",
     "ENQ, STX 01FF010C006400 ETX 0F (sum ok)",
     "ACK, ACK",
     "camera 100, panel 100 (wire 006400)",
     "ACK"},
    {"Read",
     {},
     ReadGain,
     -1,
     "read GAIN",
     "ENQ, STX 01FF810C000000 ETX 11 (sum ok), ACK",
     "ACK, ACK, STX 000000 ETX DA (sum ok)",
     "camera 0, panel 0 (wire 000000)",
     "reply accepted"},
    {"NakAndRetry",
     {"bad-checksum:1"},
     ReadGain,
     -1,
     "read GAIN",
     "ENQ, STX 01FF810C000000 ETX 11 (sum ok), NAK, ACK",
     "ACK, ACK, STX 000000 ETX DB (sum wrong, expected DA), STX 000000 ETX DA (sum ok)",
     "camera 0, panel 0 (wire 000000)",
     "reply accepted after NAK and retry ×1"},
    {"TimeOut",
     {"enq-silent"},
     WriteGain,
     -1,
     "write GAIN = 100",
     "ENQ ×4",
     "",
     "camera 100, panel 100 (wire 006400)",
     "FAILED: time-out, code 5, Communication time out detected. Check the connection. "
     "(after ENQ ×4)"},
    // Four cycles of a command and four rejected replies each.
    {"BadChecksum",
     {"bad-checksum"},
     ReadGain,
     -1,
     "read GAIN",
     "ENQ, STX 01FF810C000000 ETX 11 (sum ok), NAK ×4, ENQ, STX 01FF810C000000 ETX 11 (sum ok), "
     "NAK ×4, ENQ, STX 01FF810C000000 ETX 11 (sum ok), NAK ×4, ENQ, STX 01FF810C000000 ETX 11 "
     "(sum ok), NAK ×4",
     "ACK, ACK, STX 000000 ETX DB (sum wrong, expected DA) ×4, ACK, ACK, STX 000000 ETX DB (sum "
     "wrong, expected DA) ×4, ACK, ACK, STX 000000 ETX DB (sum wrong, expected DA) ×4, ACK, ACK, "
     "STX 000000 ETX DB (sum wrong, expected DA) ×4",
     "",
     "FAILED: code 25, Check sum code mismatched in received data from camera unit. (after ENQ "
     "×4, frame ×4, NAK and retry ×16)"},
    // The frame passes and is acknowledged; the read fails on its value.
    {"ValueNotHexadecimal",
     {"bad-value:1"},
     ReadGain,
     -1,
     "read GAIN",
     "ENQ, STX 01FF810C000000 ETX 11 (sum ok), ACK",
     "ACK, ACK, STX GHIJKL ETX 41 (sum ok)",
     "wire GHIJKL, not hexadecimal",
     "FAILED: code 24, Invalid character type found in received data from camera unit."},
    {"ManualSend",
     {},
     [](CameraUnit& camera) { SendManualCommand(camera, "01FF010A006400"); },
     -1,
     "manual command: Send",
     "ENQ, STX 01FF010A006400 ETX 11 (sum ok)",
     "ACK, ACK",
     "",
     "ACK"},
    {"ManualRead",
     {},
     [](CameraUnit& camera) { QueryManualCommand(camera, "01FF810A000000"); },
     -1,
     "manual command: Read",
     "ENQ, STX 01FF810A000000 ETX 13 (sum ok), ACK",
     "ACK, ACK, STX 070000 ETX D3 (sum ok)",
     "reply 070000",
     "reply accepted"},
    // Refused before anything goes on the line.
    {"ManualTooLong",
     {},
     [](CameraUnit& camera) { SendManualCommand(camera, std::string(23, '0')); },
     -1,
     "manual command: Send",
     "",
     "",
     "",
     "FAILED: code 26, Illegal message size of transmission data."},
    {"RegisterWrite",
     {},
     [](CameraUnit& camera) {
       WriteRegisterRow(camera, RegisterMode::kFpga, RegisterArea::kDsp, "1a", "2c");
     },
     -1,
     "register write DSP 1A = 2C (FPGA)",
     "ENQ, STX 00FF021A2C0000 ETX 05 (sum ok)",
     "ACK, ACK",
     "data 2C",
     "ACK"},
    {"RegisterRead",
     {},
     [](CameraUnit& camera) {
       std::string data;
       ReadRegisterRow(camera, RegisterMode::kEeprom, RegisterArea::kAfe, "05", data);
     },
     -1,
     "register read AFE 05 (EEPROM)",
     "ENQ, STX 01FF8405000000 ETX 1C (sum ok), ACK",
     "ACK, ACK, STX 000000 ETX DA (sum ok)",
     "data 0000",
     "reply accepted"},
    // The third entry of the whole-camera read: its ENQ refused once.
    {"WholeCameraReadWithRefusedEnq",
     {"enq-nak:1@2"},
     [](CameraUnit& camera) { camera.ReadAllParameters(); },
     2,
     "read all 3/50: TRIGGER MODE",
     "ENQ, ENQ, STX 01FF8104000000 ETX 20 (sum ok), ACK",
     "NAK, ACK, ACK, STX 000000 ETX DA (sum ok)",
     "camera 0, panel 0 (wire 000000)",
     "reply accepted after ENQ ×2, camera NAK ×1"},
};

INSTANTIATE_TEST_SUITE_P(Exchanges, LineDecoderTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrel
