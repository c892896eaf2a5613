// The camera object, the settings file and the document against the virtual
// camera on a pseudo-terminal, through the real serial path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/camera_unit.h"
#include "model/identification_text.h"
#include "model/parameter_document.h"
#include "model/settings_file.h"
#include "sim/pty_camera.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::CameraTypeScope;
using testing::RecordingPrompt;

constexpr int kPort = 7;

class CameraLinkTest : public ::testing::Test {
 protected:
  // The next test finds no COM 7 of this one's camera.
  void TearDown() override { ::unsetenv(("TAVREL_COM" + std::to_string(kPort)).c_str()); }

  // Starts a virtual camera of the given type and opens COM 7 on it.
  void Connect(int type, sim::CameraOptions options = {}) {
    camera.reset();
    options.model = CameraModelName(type);
    simulated = std::make_unique<sim::PtyCamera>(options);
    ::setenv(("TAVREL_COM" + std::to_string(kPort)).c_str(), simulated->DevicePath().c_str(), 1);
    camera = std::make_unique<CameraUnit>();
    {
      CameraTypeScope scope(type);
      camera->InitTable();
    }
    for (int index = 0; index < kParameterCount; ++index) camera->ResetValue(index);
    camera->SetUserPrompt(&prompt);
    ASSERT_EQ(camera->OpenSerialLink(kPort, 38400), 0);
  }

  // Command bytes (characters 5-6) of the bodies the camera accepted.
  std::vector<std::string> Commands() const {
    std::vector<std::string> commands;
    for (const std::string& body : simulated->ReceivedBodies())
      commands.push_back(body.substr(4, 2));
    return commands;
  }
  std::size_t CountCommand(const std::string& command) const {
    const auto commands = Commands();
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
  }

  RecordingPrompt prompt;
  std::unique_ptr<sim::PtyCamera> simulated;
  std::unique_ptr<CameraUnit> camera;
};

TEST_F(CameraLinkTest, WholeCameraTransfersSendOneMessagePerEntryUpToTheStop) {
  struct Row {
    int type;
    std::size_t reads;  // read commands: 0x81 settings, 0x90 identification
    std::size_t writes;
  };
  for (const Row row : {Row{0, 17, 17}, Row{3, 17, 17}, Row{4, 50, 27}, Row{5, 50, 27}}) {
    SCOPED_TRACE(row.type);
    Connect(row.type);
    EXPECT_EQ(camera->ReadAllParameters(), 1);
    EXPECT_EQ(CountCommand("81") + CountCommand("90"), row.reads);
    EXPECT_EQ(simulated->ReceivedBodies().size(), row.reads);
    EXPECT_EQ(camera->WriteAllParameters(), 0);
    EXPECT_EQ(CountCommand("01"), row.writes);
    EXPECT_EQ(simulated->ReceivedBodies().size(), row.reads + row.writes);
  }
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CameraLinkTest, SingleWritesGoOutAsOneBodyEach) {
  Connect(0);
  EXPECT_EQ(camera->WriteParameter(49, 0x4A1D), 1);
  EXPECT_EQ(camera->WriteParameter(10, 300), 1);
  EXPECT_EQ(camera->WriteParameter(10, 300), 0);  // still sent
  EXPECT_EQ(simulated->ReceivedBodies(),
            (std::vector<std::string>{"01FF01604A1D00", "01FF010C012C00", "01FF010C012C00"}));
  EXPECT_EQ(prompt.statusTexts.back(), "Sending GAIN data to camera...");
  // What was written reads back.
  camera->SetValue(10, 0, false);
  EXPECT_EQ(camera->ReadParameter(10), 1);
  EXPECT_EQ(camera->GetValue(10, false), 300);
  EXPECT_EQ(prompt.statusTexts.back(), "Uploading GAIN data from camera...");
}

TEST_F(CameraLinkTest, IdentificationTextsReadBackFromTheCamera) {
  sim::CameraOptions options;
  options.vendorName = "TALBROOK VISION!";  // all 16 characters
  options.serialNumber = "0012345";
  options.cameraVersion = "1A03";
  Connect(5, options);
  for (int index = kVendorNameFirst; index <= kVersionLast; ++index) {
    ASSERT_GE(camera->ReadParameter(index), 0) << index;
  }
  const Identification identification = UnpackIdentification(*camera);
  EXPECT_EQ(identification.vendorName, "TALBROOK VISION!");
  EXPECT_EQ(identification.modelName, "QUESSA-P/S");
  EXPECT_EQ(identification.serialNumber, "0012345");
  EXPECT_EQ(identification.version, "1.A.0.3");
  EXPECT_EQ(camera->GetValue(kSerialNumberFirst, false), 12336);
  EXPECT_EQ(camera->GetValue(kSerialNumberLast, false), 53);
}

TEST_F(CameraLinkTest, FailureInsideAWholeReadShowsOneBoxAndKeepsEarlierEntries) {
  Connect(0);
  ASSERT_EQ(camera->WriteParameter(10, 123), 1);  // frame 1
  camera->SetValue(10, 0, false);
  for (int index = 0; index < 5; ++index) camera->SetValue(index, 77, false);
  // Entries 0..4 are served, then every ENQ is refused.
  simulated->AddFault({sim::FaultKind::kEnqNak, -1, 5});
  EXPECT_EQ(camera->ReadAllParameters(), -20);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0].text, "ERROR - Unexpected character received from camera unit.");
  for (int index = 0; index < 5; ++index) EXPECT_NE(camera->GetValue(index, false), 77) << index;
  EXPECT_EQ(camera->GetValue(10, false), 0);  // never reached
}

TEST_F(CameraLinkTest, SavedFileLoadsBackAndIsWrittenToTheCamera) {
  char pattern[] = "/tmp/tavrel-link-XXXXXX";
  const fs::path folder = ::mkdtemp(pattern);
  for (const int type : {0, 6}) {
    SCOPED_TRACE(type);
    Connect(type);
    ASSERT_EQ(camera->ReadAllParameters(), 1);
    camera->SetValue(10, 5000, false);  // out of range: stored and sent as it is
    camera->SetValue(128, -9, false);   // not in use, saved all the same
    std::vector<std::int32_t> saved;
    for (int index = 0; index < kParameterCount; ++index)
      saved.push_back(camera->GetValue(index, false));
    const fs::path file = folder / "camera.tdx";
    ASSERT_TRUE(SaveSettingsFile(*camera, file.string()).saved);
    EXPECT_EQ(fs::file_size(file), kSettingsFileSize);

    for (int index = 0; index < kParameterCount; ++index) camera->SetValue(index, 1, false);
    const std::size_t before = simulated->ReceivedBodies().size();
    EXPECT_EQ(LoadSettingsFile(*camera, file.string()).result, SettingsLoadResult::kLoaded);
    for (int index = 0; index < kParameterCount; ++index) {
      EXPECT_EQ(camera->GetValue(index, false), saved[static_cast<std::size_t>(index)]) << index;
    }
    EXPECT_EQ(simulated->ReceivedBodies().size() - before, type == 0 ? 17u : 27u);
    EXPECT_EQ(simulated->ReceivedBodies()[before + 10], "01FF010C138800");
  }
  fs::remove_all(folder);
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CameraLinkTest, DocumentIsModifiedOnlyByTransfersThatChangedAValue) {
  Connect(4);
  ParameterDocument document(*camera);
  EXPECT_EQ(document.WriteParameter(12, 0), 0);  // already the default
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(document.WriteParameter(12, 9), 1);
  EXPECT_TRUE(document.IsModified());
  EXPECT_EQ(document.GetParameter(12), 9);

  document.SetModifiedFlag(false);
  EXPECT_EQ(document.WriteAllParameters(), 0);
  EXPECT_FALSE(document.IsModified());
  camera->SetValue(12, 0, false);
  EXPECT_EQ(document.ReadParameter(12), 1);
  EXPECT_TRUE(document.IsModified());

  document.SetModifiedFlag(false);
  EXPECT_EQ(document.ReadAllParameters(), 1);
  EXPECT_TRUE(document.IsModified());

  document.SetModifiedFlag(false);
  simulated->AddFault({sim::FaultKind::kEnqNak, -1, 0});
  EXPECT_LT(document.WriteParameter(12, 3), 0);
  EXPECT_LT(document.ReadAllParameters(), 0);
  EXPECT_FALSE(document.IsModified());
  EXPECT_EQ(document.GetParameter(12), 9);
  EXPECT_EQ(prompt.messages.size(), 2u);
}

}  // namespace
}  // namespace tavrel
