// The pty host spoken to with plain file operations (the link's own tests
// run it against the real link).
#include "sim/pty_camera.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Terminal {
 public:
  explicit Terminal(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
  }
  ~Terminal() { ::close(fd_); }
  bool IsOpen() const { return fd_ >= 0; }
  // Sets the line's rate, as the PC's link does.
  bool SetBaud(speed_t speed) {
    termios settings{};
    return tcgetattr(fd_, &settings) == 0 && cfsetispeed(&settings, speed) == 0 &&
           cfsetospeed(&settings, speed) == 0 && tcsetattr(fd_, TCSANOW, &settings) == 0;
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Up to `count` bytes, waiting at most 5 s for them; fewer at end of line.
  std::string Read(std::size_t count) {
    std::string got;
    while (got.size() < count) {
      pollfd fd{fd_, POLLIN, 0};
      if (poll(&fd, 1, 5000) <= 0) break;
      char buffer[64];
      const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int fd_;
};

// The camera's trace, read through a pipe as the camera writes it, so a test
// can wait for what the camera has done without sleeping.
class TracePipe {
 public:
  TracePipe() {
    if (mkdtemp(folder_) == nullptr) return;
    path_ = std::string(folder_) + "/trace";
    if (mkfifo(path_.c_str(), 0600) == 0) fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
  }
  ~TracePipe() {
    if (fd_ >= 0) ::close(fd_);
    ::unlink(path_.c_str());
    ::rmdir(folder_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // Reads until `text` has appeared (true), or 5 s pass with nothing new.
  bool WaitFor(const std::string& text) {
    while (traced.find(text) == std::string::npos) {
      pollfd in{fd_, POLLIN, 0};
      if (poll(&in, 1, 5000) != 1) return false;
      char buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) return false;
      traced.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }

  std::string traced;  // everything read so far

 private:
  char folder_[32] = "/tmp/tavrel-pty-camera-XXXXXX";
  std::string path_;
  int fd_ = -1;
};

std::string Frame(const std::string& body) {
  std::string frame = "\x02" + body + "\x03";
  unsigned sum = 0;
  for (char c : frame) sum += static_cast<unsigned char>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", (sum & 0xFF) ^ 0xFF);
  return frame + digits;
}

TEST(PtyCameraTest, ServesCommandsAndExposesRegisters) {
  sim::PtyCamera camera({});
  Terminal line(camera.DevicePath());
  ASSERT_TRUE(line.IsOpen());
  line.Write("\x05");
  EXPECT_EQ(line.Read(1), "\x06");
  line.Write(Frame("00FF0305ABCDEF"));
  EXPECT_EQ(line.Read(1), "\x06");
  EXPECT_EQ(camera.ReadRegister(0, 0x03, 0x05), (std::array<std::uint8_t, 3>{0xAB, 0xCD, 0xEF}));

  camera.WriteRegister(1, 0x02, 0x07, {0x12, 0x34, 0x56});
  line.Write("\x05");
  EXPECT_EQ(line.Read(1), "\x06");
  line.Write(Frame("01FF8207000000"));
  std::string ackAndReply = "\x06";
  ackAndReply += Frame("123456");
  EXPECT_EQ(line.Read(11), ackAndReply);
  line.Write("\x06");
  EXPECT_EQ(camera.ReceivedBodies(),
            std::vector<std::string>({"00FF0305ABCDEF", "01FF8207000000"}));

  camera.AddFault({sim::FaultKind::kEnqNak, 1, 0});
  line.Write("\x05");
  EXPECT_EQ(line.Read(1), "\x15");
  camera.Stop();
  camera.Stop();
  EXPECT_EQ(camera.ReadRegister(0, 0x03, 0x05), (std::array<std::uint8_t, 3>{0xAB, 0xCD, 0xEF}));
}

TEST(PtyCameraTest, HangupClosesTheLine) {
  sim::CameraOptions options;
  options.faults = {{sim::FaultKind::kHangup, 1, 0}};
  sim::PtyCamera camera(options);
  Terminal line(camera.DevicePath());
  line.Write("\x05");
  EXPECT_EQ(line.Read(1), "");
}

// Stop ends the wait for a paced answer: with a turnaround of a day, a Stop
// that waited it out would hang the test (and the suite's time-out ends it).
// The camera's trace, read through a pipe, shows when the answer is pending.
TEST(PtyCameraTest, StopsPromptlyWhilePacing) {
  TracePipe trace;
  ASSERT_TRUE(trace.IsOpen());
  sim::CameraOptions options;
  options.paceBaud = 9600;
  options.turnaroundMs = 24 * 60 * 60 * 1000;
  options.traceFile = trace.Path();
  sim::PtyCamera camera(options);
  Terminal line(camera.DevicePath());
  line.Write("\x05");
  ASSERT_TRUE(trace.WaitFor("CAM->PC ACK")) << trace.traced;
  EXPECT_NE(trace.traced.find("PC->CAM ENQ"), std::string::npos);

  camera.Stop();
  EXPECT_EQ(line.Read(1), "");  // the ACK never went out
}

// A camera at 19200 baud hears nothing the PC sends at another rate: the
// ENQ at 9600 stays unanswered (the trace says why), the one at 19200 is
// answered, and only it: the read's answer follows with no second ACK.
TEST(PtyCameraTest, AnswersOnlyAtItsOwnLineRate) {
  TracePipe trace;
  ASSERT_TRUE(trace.IsOpen());
  sim::CameraOptions options;
  options.lineBaud = 19200;
  options.traceFile = trace.Path();
  sim::PtyCamera camera(options);
  Terminal line(camera.DevicePath());
  for (const speed_t other : {B9600, B38400}) {
    ASSERT_TRUE(line.SetBaud(other));
    line.Write("\x05");
    const std::string note = other == B9600 ? "ignored: the PC's line is at 9600 baud"
                                            : "ignored: the PC's line is at 38400 baud";
    ASSERT_TRUE(trace.WaitFor(note)) << trace.traced;
  }
  EXPECT_EQ(trace.traced.find("CAM->PC"), std::string::npos) << trace.traced;

  ASSERT_TRUE(line.SetBaud(B19200));
  line.Write("\x05");
  EXPECT_EQ(line.Read(1), "\x06");
  line.Write(Frame("01FF9008000000"));
  std::string ackAndReply = "\x06";
  ackAndReply += Frame("4B4500");  // "KE" of KESTRA-P/S
  EXPECT_EQ(line.Read(11), ackAndReply);
  line.Write("\x06");
  EXPECT_EQ(camera.ReceivedBodies(), std::vector<std::string>{"01FF9008000000"});
}

TEST(PtyCameraTest, RejectsAnUnknownModel) {
  sim::CameraOptions options;
  options.model = "NOPE";
  EXPECT_THROW(sim::PtyCamera{options}, std::invalid_argument);
}

}  // namespace
