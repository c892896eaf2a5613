// A line that hangs up while an exchange runs (the camera's end closed, as
// when a USB adapter is pulled): that exchange fails with the time-out, the
// port is closed, and the next exchange opens the same path again, which
// by then leads to the camera's new line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "link/comm_port.h"
#include "sim/pty_camera.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kBlackLevel = 0x17;

class Replug : public ::testing::Test {
 protected:
  void SetUp() override {
    link_ = fs::temp_directory_path() / ("tavrel-replug-" + std::to_string(getpid()));
    camera_ = std::make_unique<sim::PtyCamera>(sim::CameraOptions{});
    Relink();
    port_.SetComPortResolver([this](std::int32_t) { return link_.string(); });
  }
  void TearDown() override { fs::remove(link_); }

  // The link path leads to the camera's line, as a by-id name leads to the
  // adapter's tty.
  void Relink() {
    fs::remove(link_);
    fs::create_symlink(camera_->DevicePath(), link_);
  }
  std::int32_t ReadBlackLevel(std::int32_t* value) {
    return port_.ReadValue(0x01, 0xFF, 0x81, kBlackLevel, 0, 255, value);
  }

  fs::path link_;
  std::unique_ptr<sim::PtyCamera> camera_;
  tavrel::CommPort port_;
};

TEST_F(Replug, TheFailingExchangeTimesOutAndTheNextOneOpensThePathAgain) {
  ASSERT_EQ(port_.OpenSerial(2, 38400), 0) << port_.GetSystemErrorText();
  std::int32_t value = -1;
  ASSERT_EQ(ReadBlackLevel(&value), 0);

  camera_->AddFault({sim::FaultKind::kHangup, 1, 0});
  EXPECT_EQ(ReadBlackLevel(&value), -5);
  EXPECT_EQ(port_.GetErrorCode(), 5);
  EXPECT_FALSE(port_.IsPortOpen());
  EXPECT_TRUE(port_.IsAwaitingReopen());
  EXPECT_EQ(port_.GetPortNumber(), 2);

  // Plugged in again: a new line behind the same path.
  camera_ = std::make_unique<sim::PtyCamera>(sim::CameraOptions{});
  camera_->WriteRegister(0x01, 0x01, kBlackLevel, {0x2A, 0x00, 0x00});
  Relink();
  EXPECT_EQ(ReadBlackLevel(&value), 0);
  EXPECT_EQ(value, 0x2A);
  EXPECT_TRUE(port_.IsPortOpen());
  EXPECT_EQ(port_.GetPortNumber(), 2);
  EXPECT_EQ(port_.GetBaudRate(), 38400);
  EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, kBlackLevel, 0, 255, 7), 0);
  EXPECT_EQ(camera_->ReadRegister(0x01, 0x01, kBlackLevel)[0], 7);
}

// The line hangs up between exchanges (nothing is sent meanwhile): the next
// exchange finds it so and opens the path again at once.
TEST_F(Replug, ALineThatHungUpMeanwhileIsOpenedAgainBeforeTheExchange) {
  ASSERT_EQ(port_.OpenSerial(1, 9600), 0) << port_.GetSystemErrorText();
  camera_ = std::make_unique<sim::PtyCamera>(sim::CameraOptions{});  // the old one stops
  Relink();
  camera_->WriteRegister(0x01, 0x01, kBlackLevel, {0x11, 0x00, 0x00});
  std::int32_t value = -1;
  EXPECT_EQ(ReadBlackLevel(&value), 0);
  EXPECT_EQ(value, 0x11);
}

}  // namespace
