#include "model/camera_unit.h"

#include <gtest/gtest.h>

#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

using testing::CameraTypeScope;
using testing::RecordingPrompt;

// A camera object with its table set up and no link open: every message fails
// with "Communication port not opened." (code 3).
class CameraUnitTest : public ::testing::Test {
 protected:
  CameraUnitTest() {
    CameraTypeScope scope(0);
    camera.InitTable();
    for (int index = 0; index < kParameterCount; ++index) camera.ResetValue(index);
    camera.SetUserPrompt(&prompt);
  }

  RecordingPrompt prompt;
  CameraUnit camera;
};

TEST_F(CameraUnitTest, FailedWriteShowsProgressThenOneErrorBox) {
  EXPECT_EQ(camera.WriteParameter(10, 300), -3);
  EXPECT_EQ(prompt.statusTexts, std::vector<std::string>{"Sending GAIN data to camera..."});
  ASSERT_EQ(prompt.messages.size(), 1u);
  const MessageRequest& box = prompt.messages[0];
  EXPECT_EQ(box.text, "ERROR - Communication port not opened.");
  EXPECT_EQ(box.caption, " TAVREL CONTROL");
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_EQ(box.buttons, MessageButtons::kOk);
  EXPECT_EQ(camera.GetValue(10, false), 0);
}

TEST_F(CameraUnitTest, ReadProgressNamesTheEntryEvenWhenTheNameIsEmpty) {
  EXPECT_LT(camera.ReadParameter(3), 0);
  EXPECT_LT(camera.ReadParameter(16), 0);
  EXPECT_EQ(prompt.statusTexts,
            (std::vector<std::string>{"Uploading TRIGGER POLARITY data from camera...",
                                      "Uploading  data from camera..."}));
  EXPECT_EQ(prompt.messages.size(), 2u);
}

TEST_F(CameraUnitTest, NoProgressBeforeTheMainWindowExists) {
  prompt.mainWindow = false;
  EXPECT_LT(camera.WriteParameter(0, 1), 0);
  EXPECT_TRUE(prompt.statusTexts.empty());
  EXPECT_EQ(prompt.messages.size(), 1u);  // the operation still ran and failed
}

TEST_F(CameraUnitTest, WholeCameraTransfersShowOneBoxAndNoProgress) {
  EXPECT_EQ(camera.ReadAllParameters(), -3);
  EXPECT_EQ(camera.WriteAllParameters(), -3);
  EXPECT_EQ(prompt.messages.size(), 2u);
  EXPECT_TRUE(prompt.statusTexts.empty());
}

TEST_F(CameraUnitTest, WithoutAPromptNothingIsShown) {
  camera.SetUserPrompt(nullptr);
  EXPECT_EQ(camera.WriteParameter(10, 1), -3);
  camera.ShowLastError();
  camera.ShowProgress(10, res::kIdsSending);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_TRUE(prompt.statusTexts.empty());
}

}  // namespace
}  // namespace tavrel
