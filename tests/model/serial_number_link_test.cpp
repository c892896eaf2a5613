// Identification read and serial-number write against the virtual camera on
// a pseudo-terminal: which entries travel, what the camera ends up holding,
// and the record in the adjustment log.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/adjustment_log.h"
#include "model/camera_unit.h"
#include "model/identification_read.h"
#include "model/parameter_document.h"
#include "model/serial_number.h"
#include "model/serial_number_write.h"
#include "sim/pty_camera.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/file_bytes.h"
#include "tests/support/lock_holder.h"
#include "tests/support/recording_prompt.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::CameraTypeScope;
using testing::LockHolder;
using testing::ReadBytes;
using testing::RecordingPrompt;
using testing::TempFolder;

constexpr int kEeprom = 1;

struct RecordingRecent : RecentSerialNumberStore {
  void StoreSerialNumber(std::int32_t value) override { stored.push_back(value); }
  std::vector<std::int32_t> stored;
};

class SerialNumberLinkTest : public ::testing::Test {
 protected:
  SerialNumberLinkTest() { log = (dir / "TAVREL_Camera_AdjustData.csv").string(); }
  ~SerialNumberLinkTest() override { camera.Close(); }

  void Connect(sim::CameraOptions options) {
    options.model = CameraModelName(0);
    simulated = std::make_unique<sim::PtyCamera>(options);
    {
      CameraTypeScope scope(0);
      camera.InitTable();
    }
    for (int index = 0; index < kParameterCount; ++index) camera.ResetValue(index);
    camera.SetUserPrompt(&prompt);
    ASSERT_GE(camera.OpenSerialDevice(simulated->DevicePath(), 38400), 0);
  }

  // Command and address ("9003") of every body the camera took.
  std::vector<std::string> Traffic() const {
    std::vector<std::string> traffic;
    for (const std::string& body : simulated->ReceivedBodies())
      traffic.push_back(body.substr(4, 4));
    return traffic;
  }

  // Entries 43..46 as the camera gives them back now; the table keeps its
  // stored values.
  std::vector<int> CameraSerialEntries() {
    std::vector<int> values;
    for (int index = kSerialNumberFirst; index <= kSerialNumberLast; ++index) {
      const std::int32_t stored = camera.GetValue(index, false);
      values.push_back(camera.ReadEntry(index) < 0 ? -1 : camera.GetValue(index, false));
      camera.SetValue(index, stored, false);
    }
    return values;
  }

  SerialNumberWrite Request(const char* text) const {
    SerialNumberWrite request;
    request.text = text;
    request.modelName = "LOMIRA-P/S";
    request.logPath = log;
    request.clock = [] { return LocalTime{2026, 12, 8, 21, 5}; };
    return request;
  }

  const TempFolder dir{"serial-number"};
  std::string log;
  RecordingPrompt prompt;
  std::unique_ptr<sim::PtyCamera> simulated;
  CameraUnit camera;
  ParameterDocument document{camera};
  RecordingRecent recent;
};

TEST_F(SerialNumberLinkTest, NamesAreReadUpToTheirEndAndTheVersionIsNotRead) {
  const struct {
    const char* vendor;
    std::vector<std::string> vendorReads;
  } rows[] = {
      {"Talbo", {"9000", "9001", "9002"}},           // entry 29 holds "o" alone
      {"Talbro", {"9000", "9001", "9002", "9003"}},  // entry 30 is empty
      {"TALBROOK VISION!", {"9000", "9001", "9002", "9003", "9004", "9005", "9006", "9007"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.vendor);
    sim::CameraOptions options;
    options.vendorName = row.vendor;
    options.serialNumber = "7654321";
    Connect(options);
    // Stored version values the camera does not hold: shown as they are.
    camera.SetValue(kVersionFirst, '9' + 256 * '8', false);
    camera.SetValue(kVersionLast, '7', false);

    const Identification ident = ReadIdentification(document);
    EXPECT_EQ(ident.vendorName, row.vendor);
    EXPECT_EQ(ident.modelName, "LOMIRA-P/S");
    EXPECT_EQ(ident.serialNumber, "7654321");
    EXPECT_EQ(ident.version, "9.8.7.");

    std::vector<std::string> expected = row.vendorReads;
    // Ten model-name characters fill five entries; the sixth ends the text.
    for (const char* read :
         {"9008", "9009", "900A", "900B", "900C", "900D", "9010", "9011", "9012", "9013"}) {
      expected.push_back(read);
    }
    EXPECT_EQ(Traffic(), expected);
    EXPECT_TRUE(prompt.messages.empty());
    camera.Close();
  }
}

TEST_F(SerialNumberLinkTest, AFailedReadIsShownAndTheRestIsStillRead) {
  sim::CameraOptions options;
  options.serialNumber = "7654321";
  Connect(options);
  // Vendor "Talbrook" takes five reads, the model name six; then the first
  // serial-number read fails.
  simulated->AddFault({sim::FaultKind::kEnqNak, 4, 11});
  const Identification ident = ReadIdentification(document);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(ident.serialNumber, "54321");  // entry 43 still holds 0
  EXPECT_EQ(Traffic().back(), "9013");
}

TEST_F(SerialNumberLinkTest, WriteLaysTheDigitsOutStoresTheNumberAndLogsOneRecord) {
  sim::CameraOptions options;
  options.serialNumber = "7654321";
  Connect(options);
  // Adjust GAIN as the camera holds it, not as the table last stored it.
  simulated->WriteRegister(kEeprom, 0x01, 0x1C, {0x02, 0xBC, 0x00});

  ASSERT_GE(UnlockSerialNumber(document), 0);
  EXPECT_EQ(WriteSerialNumber(document, recent, Request("0012345")),
            SerialNumberWriteResult::kWritten);
  EXPECT_EQ(Traffic(), (std::vector<std::string>{"0160", "1010", "1011", "1012", "1013", "811C"}));
  EXPECT_EQ(CameraSerialEntries(), (std::vector<int>{12336, 12849, 13363, 53}));
  EXPECT_EQ(recent.stored, (std::vector<std::int32_t>{12345}));
  EXPECT_EQ(ReadBytes(log),
            std::string(AdjustmentLogHeader()) + "2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n");
  EXPECT_TRUE(prompt.messages.empty());

  // A second record is only appended.
  ASSERT_EQ(WriteSerialNumber(document, recent, Request("0012346")),
            SerialNumberWriteResult::kWritten);
  EXPECT_EQ(ReadBytes(log), std::string(AdjustmentLogHeader()) +
                                "2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n"
                                "2026.12. 8 21:5,LOMIRA-P/S,0012346,700,\r\n");
}

TEST_F(SerialNumberLinkTest, AFailedEntryWriteStopsTheRestAndLogsNothing) {
  sim::CameraOptions options;
  options.serialNumber = "7654321";
  Connect(options);
  // The unlock and entries 43 and 44 go through, then entry 45 fails.
  simulated->AddFault({sim::FaultKind::kEnqNak, 4, 3});
  ASSERT_GE(UnlockSerialNumber(document), 0);
  EXPECT_EQ(WriteSerialNumber(document, recent, Request("0012345")),
            SerialNumberWriteResult::kCameraFailed);
  EXPECT_EQ(CameraSerialEntries(),
            (std::vector<int>{12336, 12849, '3' + 256 * '2', '1'}));  // 45 and 46 as before
  EXPECT_EQ(prompt.messages.size(), 1u);                              // the link's error box only
  EXPECT_TRUE(recent.stored.empty());
  EXPECT_FALSE(fs::exists(log));
}

TEST_F(SerialNumberLinkTest, AFailedUnlockIsToldAndTheCameraThenRefusesTheDigits) {
  sim::CameraOptions options;
  options.serialNumber = "7654321";
  Connect(options);
  simulated->AddFault({sim::FaultKind::kEnqNak, 4, 0});
  EXPECT_LT(UnlockSerialNumber(document), 0);
  ASSERT_EQ(prompt.messages.size(), 2u);
  EXPECT_EQ(prompt.messages[1].text,
            "This camera is not written the Serial Number.\nPlease tell design engineer.");
  EXPECT_EQ(prompt.messages[1].caption, "TAVREL");
  EXPECT_EQ(prompt.messages[1].buttons, MessageButtons::kOk);

  EXPECT_EQ(WriteSerialNumber(document, recent, Request("0012345")),
            SerialNumberWriteResult::kCameraFailed);
  EXPECT_EQ(CameraSerialEntries(),
            (std::vector<int>{'7' + 256 * '6', '5' + 256 * '4', '3' + 256 * '2', '1'}));
}

TEST_F(SerialNumberLinkTest, ALogHeldByAnotherProgramLosesOnlyTheRecord) {
  sim::CameraOptions options;
  options.serialNumber = "7654321";
  Connect(options);
  std::ofstream(log, std::ios::binary) << "earlier\r\n";
  LockHolder holder(log, LockHolder::kFcntl);
  ASSERT_TRUE(holder.Locked());

  ASSERT_GE(UnlockSerialNumber(document), 0);
  SerialNumberWrite request = Request("0012345");
  request.logWait = std::chrono::milliseconds(100);
  EXPECT_EQ(WriteSerialNumber(document, recent, request), SerialNumberWriteResult::kLogFailed);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0].text, log + " is opend. Please close " + log);
  EXPECT_EQ(prompt.messages[0].detail, "held by another program for more than 0.1 s");
  // Without the log, no Adjust GAIN read.
  EXPECT_EQ(Traffic().back(), "1013");
  EXPECT_EQ(prompt.messages[0].caption, "Serial Number");
  EXPECT_EQ(CameraSerialEntries(), (std::vector<int>{12336, 12849, 13363, 53}));
  EXPECT_EQ(recent.stored, (std::vector<std::int32_t>{12345}));
  holder.Release();
  EXPECT_EQ(ReadBytes(log), "earlier\r\n");
}

}  // namespace
}  // namespace tavrel
