// The link as a value: what the window program's --connect text names, and
// the one function that opens every kind on the camera object, showing a
// failure's error box once.
#include "model/link_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "tests/support/pty_pair.h"
#include "tests/support/recording_prompt.h"
#include "tests/support/scoped_environment.h"

namespace tavrel {
namespace {

using testing::RecordingPrompt;
using testing::ScopedEnvironment;
using Kind = LinkChoice::Kind;

TEST(LinkChoice, TheConnectTextNamesAPortAtARateOrABoard) {
  const std::pair<const char*, std::optional<LinkChoice>> cases[] = {
      {"com1", LinkChoice::ComPort(1, 9600)},
      {"COM10:19200", LinkChoice::ComPort(10, 19200)},
      {"com2:38400", LinkChoice::ComPort(2, 38400)},
      {"com3:", LinkChoice::ComPort(3, 9600)},
      {"board:/opt/lib/libclsersim.so", LinkChoice::Board("/opt/lib/libclsersim.so")},
      {"Board:C:\\cam\\clser.dll", LinkChoice::Board("C:\\cam\\clser.dll")},
      {"com11:9600", std::nullopt},
      {"com0", std::nullopt},
      {"com01:9600", std::nullopt},
      {"com1:4800", std::nullopt},
      {"com1:09600", std::nullopt},
      {"board:", std::nullopt},
      {"board", std::nullopt},
      {"/dev/ttyUSB0", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, choice] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseLinkText(text), choice);
  }
}

// Stands in for a program's virtual camera: connects the link to a pty.
class PtyHost : public VirtualCameraHost {
 public:
  explicit PtyHost(std::string path) : path_(std::move(path)) {}
  std::int32_t Connect(CommPort& link, std::int32_t baud) override {
    bauds.push_back(baud);
    return link.OpenSerialDevice(path_, baud);
  }
  std::vector<std::int32_t> bauds;

 private:
  std::string path_;
};

class OpenLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    camera.SetUserPrompt(&prompt);
  }

  testing::PtyPair pty;
  RecordingPrompt prompt;
  CameraUnit camera;
};

TEST_F(OpenLinkTest, EachKindOpensItsCarrier) {
  const ScopedEnvironment com4("TAVREL_COM4", pty.slavePath().c_str());
  ASSERT_EQ(OpenLink(camera, LinkChoice::ComPort(4, 19200)), 0);
  EXPECT_TRUE(camera.IsPortOpen());
  EXPECT_EQ(camera.GetPortNumber(), 4);
  EXPECT_EQ(camera.GetBaudRate(), 19200);

  ASSERT_EQ(OpenLink(camera, LinkChoice::Device(pty.slavePath(), 38400)), 0);
  EXPECT_EQ(camera.GetDevicePath(), pty.slavePath());
  EXPECT_EQ(camera.GetPortNumber(), 0);
  EXPECT_EQ(camera.GetBaudRate(), 38400);

  PtyHost host(pty.slavePath());
  ASSERT_EQ(OpenLink(camera, LinkChoice::VirtualCamera(19200), &host), 0);
  EXPECT_EQ(host.bauds, std::vector<std::int32_t>{19200});
  EXPECT_TRUE(camera.IsPortOpen());
  EXPECT_TRUE(prompt.messages.empty());
}

// One error box per failed open, whichever kind failed.
TEST_F(OpenLinkTest, AFailureShowsItsBoxOnce) {
  const LinkChoice failing[] = {
      LinkChoice::ComPort(11, 9600), LinkChoice::Device("/nonexistent/tty", 9600),
      LinkChoice::Board("/nonexistent/libclser.so"),
      LinkChoice::VirtualCamera(9600),  // no camera started for it
  };
  for (const LinkChoice& choice : failing) {
    SCOPED_TRACE(choice.path);
    prompt.messages.clear();
    EXPECT_LT(OpenLink(camera, choice), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages.front().icon, MessageIcon::kError);
  }
  EXPECT_EQ(prompt.messages.front().text, "ERROR - " + ErrorCodeText(4));
}

}  // namespace
}  // namespace tavrel
