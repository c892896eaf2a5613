// Register rows against the virtual camera on a pseudo-terminal: both modes
// reach their own registers, input errors send nothing, and a refusing camera
// gives one error box per row.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/camera_unit.h"
#include "model/register_access.h"
#include "sim/pty_camera.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

using Bytes = std::array<std::uint8_t, 3>;

class RegisterLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera.SetUserPrompt(&prompt);
    ASSERT_EQ(camera.OpenSerialDevice(simulated.DevicePath(), 38400), 0);
  }

  sim::PtyCamera simulated{sim::CameraOptions{}};
  testing::RecordingPrompt prompt;
  CameraUnit camera;
};

TEST_F(RegisterLinkTest, WritesReachTheModesRegistersAndReadBack) {
  using Area = RegisterArea;
  using Mode = RegisterMode;
  using Outcome = RegisterRowOutcome;
  ASSERT_EQ(WriteRegisterRow(camera, Mode::kFpga, Area::kDsp, "05", "12"), Outcome::kDone);
  ASSERT_EQ(WriteRegisterRow(camera, Mode::kEeprom, Area::kDsp, "05", "34"), Outcome::kDone);
  ASSERT_EQ(WriteRegisterRow(camera, Mode::kEeprom, Area::kAfe, "1a", "abcd"), Outcome::kDone);
  EXPECT_EQ(simulated.ReadRegister(0, 0x02, 0x05), (Bytes{0x12, 0, 0}));
  EXPECT_EQ(simulated.ReadRegister(1, 0x02, 0x05), (Bytes{0x34, 0, 0}));
  EXPECT_EQ(simulated.ReadRegister(1, 0x04, 0x1A), (Bytes{0xAB, 0xCD, 0}));

  simulated.WriteRegister(0, 0x04, 0x1A, {0x56, 0x78, 0x9A});
  std::string data = "0000";
  EXPECT_EQ(ReadRegisterRow(camera, Mode::kFpga, Area::kAfe, "1A", data), Outcome::kDone);
  EXPECT_EQ(data, "5678");
  EXPECT_EQ(ReadRegisterRow(camera, Mode::kEeprom, Area::kDsp, "05", data), Outcome::kDone);
  EXPECT_EQ(data, "34");
  EXPECT_EQ(simulated.ReceivedBodies().back(), "01FF8205000000");
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RegisterLinkTest, InputErrorsShowTheStandardBoxAndSendNothing) {
  std::string data = "kept";
  EXPECT_EQ(ReadRegisterRow(camera, RegisterMode::kFpga, RegisterArea::kTg, "", data),
            RegisterRowOutcome::kInputError);
  EXPECT_EQ(WriteRegisterRow(camera, RegisterMode::kFpga, RegisterArea::kAfe, "10", "ABC"),
            RegisterRowOutcome::kInputError);
  EXPECT_EQ(data, "kept");
  EXPECT_TRUE(simulated.ReceivedBodies().empty());
  ASSERT_EQ(prompt.messages.size(), 2u);
  EXPECT_EQ(prompt.messages[0].text, "アドレスの入力が不正です。");
  EXPECT_EQ(prompt.messages[1].text, "データの入力が不正です。");
  for (const MessageRequest& box : prompt.messages) {
    EXPECT_EQ(box.caption, " TAVREL CONTROL");
    EXPECT_EQ(box.icon, MessageIcon::kExclamation);
    EXPECT_EQ(box.buttons, MessageButtons::kOk);
  }
}

TEST_F(RegisterLinkTest, ARefusingCameraGivesOneErrorBoxPerRowAndKeepsTheData) {
  simulated.AddFault({sim::FaultKind::kEnqNak, -1, 0});
  std::string data = "12";
  EXPECT_EQ(ReadRegisterRow(camera, RegisterMode::kFpga, RegisterArea::kDsp, "05", data),
            RegisterRowOutcome::kLinkError);
  EXPECT_EQ(WriteRegisterRow(camera, RegisterMode::kFpga, RegisterArea::kDsp, "05", "77"),
            RegisterRowOutcome::kLinkError);
  EXPECT_EQ(data, "12");
  EXPECT_EQ(
      prompt.MessageTexts(),
      (std::vector<std::string>(2, "ERROR - Unexpected character received from camera unit.")));
  EXPECT_EQ(simulated.ReadRegister(0, 0x02, 0x05)[0], 0x00);
}

// A reply garbled anywhere among its six value characters is no value, in
// every area, whatever the row shows of it: code 24, one box, the row kept.
TEST_F(RegisterLinkTest, AGarbledReplyIsCode24InEveryArea) {
  const RegisterArea areas[] = {RegisterArea::kCommon, RegisterArea::kDsp, RegisterArea::kTg,
                                RegisterArea::kAfe,    RegisterArea::kDdr, RegisterArea::kInfo};
  for (const sim::FaultKind fault : {sim::FaultKind::kNulValue, sim::FaultKind::kBadValue}) {
    for (const RegisterArea area : areas) {
      SCOPED_TRACE(std::string(RegisterAreaName(area)) +
                   (fault == sim::FaultKind::kNulValue ? " nul-value" : " bad-value"));
      prompt.messages.clear();
      simulated.AddFault({fault, 1, 0});
      std::string data = "kept";
      EXPECT_EQ(ReadRegisterRow(camera, RegisterMode::kFpga, area, "40", data),
                RegisterRowOutcome::kLinkError);
      EXPECT_EQ(data, "kept");
      EXPECT_EQ(camera.GetErrorCode(), 24);
      EXPECT_EQ(prompt.MessageTexts(),
                std::vector<std::string>{
                    "ERROR - Invalid character type found in received data from camera unit."});
    }
  }
}

}  // namespace
}  // namespace tavrel
