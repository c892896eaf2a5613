// The camera link against the virtual camera: on a real pseudo-terminal and
// through the CameraLink test library. Fault cases check the code the link
// reports and, in the line trace, how often it tried.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "sim/camera_command_line.h"
#include "sim/in_process_camera.h"
#include "sim/pty_camera.h"

namespace {

using Bytes = std::array<std::uint8_t, 3>;

std::string TracePath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("tavrel-sim-" + name + "-" + std::to_string(getpid()) + ".txt"))
      .string();
}

// How many ENQs and frames (STX) each side sent, from the trace.
struct LineCounts {
  int pcEnq = 0;
  int pcStx = 0;
  int cameraStx = 0;
  int cameraNak = 0;
  int pcAck = 0;
  int pcNak = 0;
};

// Every byte of one direction in a trace, in order, as the trace names them.
std::string TracedBytes(const std::string& path, const std::string& direction) {
  std::ifstream in(path);
  std::string bytes;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find("  |")));  // without the text column
    std::string stamp, way, word;
    words >> stamp >> way;
    if (way != direction) continue;
    while (words >> word) bytes += word + ' ';
  }
  return bytes;
}

// How often the byte named `name` stands in what TracedBytes gave.
int Occurrences(const std::string& bytes, const std::string& name) {
  std::istringstream words(bytes);
  int count = 0;
  for (std::string word; words >> word;) count += word == name ? 1 : 0;
  return count;
}

LineCounts CountTrace(const std::string& path) {
  const std::string pc = TracedBytes(path, "PC->CAM");
  const std::string camera = TracedBytes(path, "CAM->PC");
  LineCounts counts;
  counts.pcEnq = Occurrences(pc, "ENQ");
  counts.pcStx = Occurrences(pc, "STX");
  counts.cameraStx = Occurrences(camera, "STX");
  counts.cameraNak = Occurrences(camera, "NAK");
  counts.pcAck = Occurrences(pc, "ACK");
  counts.pcNak = Occurrences(pc, "NAK");
  return counts;
}

// A register write and read-back per area and mode, with the bytes the
// camera must hold (settings values travel most significant byte first).
struct AreaCase {
  int h1;
  int area;
  int address;
  std::int32_t maximum;
  std::int32_t value;
  Bytes stored;
};

constexpr AreaCase kAreaCases[] = {
    {1, 0x01, 0x0C, 462, 300, {0x01, 0x2C, 0x00}},
    {0, 0x01, 0x70, 0xFFFFFF, 0x123456, {0x12, 0x34, 0x56}},
    {1, 0x01, 0x17, 31, 17, {0x11, 0x00, 0x00}},
    {0, 0x02, 0x05, 255, 0x12, {0x12, 0x00, 0x00}},
    {1, 0x02, 0x05, 255, 0x34, {0x34, 0x00, 0x00}},
    {0, 0x03, 0x1F, 0xFFFF, 0xBEEF, {0xEF, 0xBE, 0x00}},
    {1, 0x03, 0x1F, 0xFFFF, 0xCAFE, {0xFE, 0xCA, 0x00}},
    {0, 0x04, 0x40, 0xFFFF, 0x0102, {0x02, 0x01, 0x00}},
    {1, 0x04, 0x40, 0xFFFF, 0x0304, {0x04, 0x03, 0x00}},
    {0, 0x05, 0xFF, 255, 0x56, {0x56, 0x00, 0x00}},
    {1, 0x05, 0x00, 255, 0x78, {0x78, 0x00, 0x00}},
    {0, 0x10, 0x20, 0xFFFF, 0x4241, {0x41, 0x42, 0x00}},
    {1, 0x10, 0x7F, 0xFFFF, 0x4443, {0x43, 0x44, 0x00}},
};

class PtyLinkTest : public ::testing::Test {
 protected:
  void Start(sim::CameraOptions options = {}) {
    camera_ = std::make_unique<sim::PtyCamera>(std::move(options));
    ASSERT_EQ(port_.OpenSerialDevice(camera_->DevicePath(), 9600), 0);
  }
  void TearDown() override {
    port_.Close();
    if (camera_) camera_->Stop();
    if (!trace_.empty()) std::filesystem::remove(trace_);
  }
  sim::CameraOptions WithFault(const std::string& name, sim::FaultKind kind, int count = -1) {
    sim::CameraOptions options;
    trace_ = TracePath(name);
    options.traceFile = trace_;
    options.faults = {{kind, count, 0}};
    return options;
  }
  // Reads the programmable shutter of the default KESTRA-P/S (834).
  std::int32_t ReadShutter(std::int32_t* value) {
    return port_.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 834, value);
  }

  std::unique_ptr<sim::PtyCamera> camera_;
  tavrel::CommPort port_;
  std::string trace_;
};

TEST_F(PtyLinkTest, WritesAndReadsEveryAreaInBothModes) {
  Start();
  for (const auto& c : kAreaCases) {
    SCOPED_TRACE("area " + std::to_string(c.area) + " address " + std::to_string(c.address) +
                 " h1 " + std::to_string(c.h1));
    EXPECT_EQ(port_.WriteValue(c.h1, 0xFF, c.area, c.address, 0, c.maximum, c.value), 0);
    EXPECT_EQ(camera_->ReadRegister(c.h1, c.area, c.address), c.stored);
    std::int32_t value = -1;
    EXPECT_EQ(port_.ReadValue(c.h1, 0xFF, c.area | 0x80, c.address, 0, c.maximum, &value), 0);
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(PtyLinkTest, ReadsModelDefaultsAndIdentification) {
  sim::CameraOptions options;
  options.model = "SOVELI-P/S";
  Start(options);
  std::int32_t value = 0;
  EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 787, &value), 0);
  EXPECT_EQ(value, 787);
  EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x81, 0x17, 0, 31, &value), 0);
  EXPECT_EQ(value, 25);
  EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x90, 0x08, 0, 65535, &value), 0);
  EXPECT_EQ(value, 'S' + 256 * 'O');
  EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x90, 0x13, 0, 65535, &value), 0);
  EXPECT_EQ(value, '5');
}

TEST_F(PtyLinkTest, SerialNumberWriteNeedsTheAccessValue) {
  Start();
  // Without the access value the camera refuses the frame four times.
  EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x10, 0x10, 0, 65535, '9' + 256 * '8'), -20);
  EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x60, 0, 65535, 0x4A1D), 0);
  EXPECT_EQ(camera_->ReadRegister(1, 0x01, 0x60), (Bytes{0x4A, 0x1D, 0x00}));
  EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x10, 0x10, 0, 65535, '9' + 256 * '8'), 0);
  EXPECT_EQ(camera_->ReadRegister(1, 0x10, 0x10), (Bytes{'9', '8', 0x00}));
}

TEST_F(PtyLinkTest, ComPortByEnvironmentName) {
  camera_ = std::make_unique<sim::PtyCamera>(sim::CameraOptions{});
  setenv("TAVREL_COM7", camera_->DevicePath().c_str(), 1);
  ASSERT_EQ(port_.OpenSerial(7, 19200), 0);
  unsetenv("TAVREL_COM7");
  EXPECT_EQ(port_.WriteValue(0x00, 0xFF, 0x03, 0x01, 0, 255, 0x5A), 0);
  EXPECT_EQ(camera_->ReadRegister(0, 0x03, 0x01), (Bytes{0x5A, 0, 0}));
}

TEST_F(PtyLinkTest, BadValueFailsReadValueButQueryAcceptsIt) {
  Start(WithFault("bad-value", sim::FaultKind::kBadValue));
  std::int32_t value = -1;
  EXPECT_EQ(ReadShutter(&value), -24);
  char reply[tavrel::kMessageBufferSize] = {};
  EXPECT_EQ(port_.Query("01FF8111000000", reply), 6);
  EXPECT_STREQ(reply, "GHIJKL");
  // Each reply was acknowledged once: no resends.
  EXPECT_EQ(CountTrace(trace_).cameraStx, 2);
}

// A camera paced at 9600 baud reads the PC's bytes late, after its own reply
// has gone out: the PC's answer to each reply must still reach it, although
// the next command purges the port right away.
TEST_F(PtyLinkTest, EveryReplyAnswerReachesACameraThatReadsLate) {
  sim::CameraOptions options;
  options.paceBaud = 9600;
  trace_ = TracePath("paced");
  options.traceFile = trace_;
  Start(options);
  constexpr int kReads = 50;
  for (int i = 0; i < kReads; ++i) {
    std::int32_t value = 0;
    ASSERT_EQ(ReadShutter(&value), 0);
  }
  // Once the camera answers one more command, it has read the last ACK.
  ASSERT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1), 0);
  EXPECT_EQ(CountTrace(trace_).pcAck, kReads);
  port_.Close();
  camera_->Stop();

  sim::CameraOptions bad = WithFault("paced-bad-checksum", sim::FaultKind::kBadChecksum);
  bad.paceBaud = 9600;
  Start(bad);
  std::int32_t value = 0;
  EXPECT_EQ(ReadShutter(&value), -25);
  ASSERT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1), 0);
  const auto counts = CountTrace(trace_);
  EXPECT_EQ(counts.cameraStx, 16);
  EXPECT_EQ(counts.pcNak, 16);
}

// The PC's trace shows the bytes the camera's trace shows, line by line in
// the same form, and is appended to.
TEST_F(PtyLinkTest, PcTraceShowsWhatTheCameraTraceShows) {
  const std::string pcTrace = TracePath("pc-side");
  std::ofstream(pcTrace) << "earlier session\n";
  ASSERT_TRUE(port_.TraceTo(pcTrace));
  // One bad reply frame puts a NAK and a second frame on the line too.
  Start(WithFault("camera-side", sim::FaultKind::kBadChecksum, 1));
  std::int32_t value = 0;
  ASSERT_EQ(ReadShutter(&value), 0);
  ASSERT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 300), 0);
  ASSERT_TRUE(port_.TraceTo(""));

  EXPECT_EQ(TracedBytes(pcTrace, "PC->CAM"), TracedBytes(trace_, "PC->CAM"));
  EXPECT_EQ(TracedBytes(pcTrace, "CAM->PC"), TracedBytes(trace_, "CAM->PC"));
  EXPECT_NE(TracedBytes(pcTrace, "PC->CAM").find("NAK"), std::string::npos);
  std::ifstream in(pcTrace);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "earlier session");
  const std::regex shape(R"(\d+\.\d{6} (PC->CAM|CAM->PC) [0-9A-Z ]+(  \|[ -~]+\|)?)");
  int lines = 0;
  for (; std::getline(in, line); ++lines) EXPECT_TRUE(std::regex_match(line, shape)) << line;
  EXPECT_GE(lines, 8);

  // Once ended, the trace stays as it is.
  const auto size = std::filesystem::file_size(pcTrace);
  ASSERT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 301), 0);
  EXPECT_EQ(std::filesystem::file_size(pcTrace), size);
  std::filesystem::remove(pcTrace);
}

// --- Faults, on a real pty and on the in-process camera ---------------------

enum class Carrier { kPty, kInProcess };
enum class Command { kWrite, kRead };

// One camera fault and what the link makes of it, as the PC's own trace
// shows the line: ENQs and command frames (STX) the PC sent, reply frames
// the camera sent, and the PC's ACKs and NAKs to them.
struct FaultCase {
  const char* fault;  // as tavrel-camsim --fault takes it
  Command command;    // write 1 to register 0x0C, or read the shutter (834)
  std::int32_t result;
  int enqs;
  int frames;
  int replies;
  int acks;
  int naks;
  // Each retry waits out a real time-out (seconds on a pty): run only on the
  // in-process camera, whose clock moves at once.
  bool waitsOutTimeOuts;
};

constexpr FaultCase kFaultCases[] = {
    {"enq-nak", Command::kWrite, -20, 4, 0, 0, 0, 0, false},
    {"enq-nak:2", Command::kRead, 0, 3, 1, 1, 1, 0, false},
    {"bad-checksum", Command::kRead, -25, 4, 4, 16, 0, 16, false},
    {"lower-checksum", Command::kRead, 0, 1, 1, 1, 1, 0, false},
    {"garbage", Command::kRead, 0, 1, 1, 1, 1, 0, false},
    {"bad-checksum:1", Command::kRead, 0, 1, 1, 2, 1, 1, false},
    {"hangup:1", Command::kWrite, -5, 1, 0, 0, 0, 0, false},
    {"enq-silent", Command::kWrite, -5, 4, 0, 0, 0, 0, true},
    {"frame-no-ack", Command::kWrite, -5, 1, 4, 0, 0, 0, true},
    {"reply-silent", Command::kRead, -5, 4, 4, 0, 0, 0, true},
    {"reply-cut:1", Command::kRead, 0, 2, 2, 2, 1, 0, true},
};

struct FaultRun {
  Carrier carrier;
  const FaultCase* c;
};

// How ctest and gtest name a run's parameter.
void PrintTo(const FaultRun& run, std::ostream* out) {
  *out << run.c->fault << (run.carrier == Carrier::kPty ? " on the pty" : " in process");
}

std::vector<FaultRun> FaultRuns() {
  std::vector<FaultRun> runs;
  for (const FaultCase& c : kFaultCases) {
    if (!c.waitsOutTimeOuts) runs.push_back({Carrier::kPty, &c});
    runs.push_back({Carrier::kInProcess, &c});
  }
  return runs;
}

// "Pty_enq_nak_2" for the fault enq-nak:2 on the pty.
std::string FaultRunName(const ::testing::TestParamInfo<FaultRun>& info) {
  std::string name = info.param.carrier == Carrier::kPty ? "Pty_" : "InProcess_";
  for (const char* p = info.param.c->fault; *p != '\0'; ++p) {
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  }
  return name;
}

class LinkFaultTest : public ::testing::TestWithParam<FaultRun> {
 protected:
  void SetUp() override {
    trace_ = TracePath("pc-" + FaultRunName({GetParam(), 0}));  // the case's own name
    ASSERT_TRUE(port_.TraceTo(trace_));
    sim::CameraOptions options;
    options.faults = {sim::ParseFault(GetParam().c->fault)};
    if (GetParam().carrier == Carrier::kPty) {
      ptyCamera_ = std::make_unique<sim::PtyCamera>(options);
      ASSERT_EQ(port_.OpenSerialDevice(ptyCamera_->DevicePath(), 9600), 0);
    } else {
      inProcessCamera_ = std::make_unique<sim::InProcessCamera>(options, sim::CameraTime::kVirtual);
      port_.AttachTransport(inProcessCamera_->Connect(), 0, 9600);
    }
  }
  void TearDown() override {
    port_.Close();
    if (ptyCamera_) ptyCamera_->Stop();
    std::filesystem::remove(trace_);
  }
  Bytes Register(int h1, int area, int address) const {
    return ptyCamera_ ? ptyCamera_->ReadRegister(h1, area, address)
                      : inProcessCamera_->ReadRegister(h1, area, address);
  }

  tavrel::CommPort port_;
  std::unique_ptr<sim::PtyCamera> ptyCamera_;
  std::unique_ptr<sim::InProcessCamera> inProcessCamera_;
  std::string trace_;
};

TEST_P(LinkFaultTest, GivesItsCodeAfterItsRetries) {
  const FaultCase& c = *GetParam().c;
  if (c.command == Command::kWrite) {
    EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1), c.result);
    // Every write here fails: the camera did not carry it out.
    EXPECT_EQ(Register(1, 0x01, 0x0C), (Bytes{0, 0, 0}));
  } else {
    std::int32_t value = -1;
    EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 834, &value), c.result);
    EXPECT_EQ(value, c.result == 0 ? 834 : 0);
  }
  const LineCounts counts = CountTrace(trace_);
  EXPECT_EQ(counts.pcEnq, c.enqs);
  EXPECT_EQ(counts.pcStx, c.frames);
  EXPECT_EQ(counts.cameraStx, c.replies);
  EXPECT_EQ(counts.pcAck, c.acks);
  EXPECT_EQ(counts.pcNak, c.naks);
}

INSTANTIATE_TEST_SUITE_P(Faults, LinkFaultTest, ::testing::ValuesIn(FaultRuns()), FaultRunName);

// --- Through the CameraLink test library -----------------------------------

using RegisterFn = std::int32_t (*)(void*, std::int32_t, std::int32_t, std::int32_t, std::uint8_t*);

class BoardLinkTest : public ::testing::Test {
 protected:
  void Open(const std::string& options) {
    setenv("TAVREL_CLSERSIM", options.c_str(), 1);
    ASSERT_EQ(port_.OpenBoard(CLSERSIM_PATH), 0);
    ASSERT_TRUE(port_.HasBoardConnection());
  }
  void TearDown() override {
    port_.Close();
    unsetenv("TAVREL_CLSERSIM");
    if (!trace_.empty()) std::filesystem::remove(trace_);
  }
  // The test hook of the library the link loaded (same handle).
  Bytes Register(int h1, int area, int address) {
    void* library = dlopen(CLSERSIM_PATH, RTLD_NOW | RTLD_NOLOAD);
    Bytes bytes{0xEE, 0xEE, 0xEE};
    if (library == nullptr) return bytes;
    auto read = reinterpret_cast<RegisterFn>(dlsym(library, "tavrelSimReadRegister"));
    if (read != nullptr) read(nullptr, h1, area, address, bytes.data());
    dlclose(library);
    return bytes;
  }

  tavrel::CommPort port_;
  std::string trace_;
};

TEST_F(BoardLinkTest, WritesAndReadsEveryAreaInBothModes) {
  Open("--model TEMBRA-P/S");
  for (const auto& c : kAreaCases) {
    SCOPED_TRACE("area " + std::to_string(c.area) + " address " + std::to_string(c.address) +
                 " h1 " + std::to_string(c.h1));
    EXPECT_EQ(port_.WriteValue(c.h1, 0xFF, c.area, c.address, 0, c.maximum, c.value), 0);
    EXPECT_EQ(Register(c.h1, c.area, c.address), c.stored);
    std::int32_t value = -1;
    EXPECT_EQ(port_.ReadValue(c.h1, 0xFF, c.area | 0x80, c.address, 0, c.maximum, &value), 0);
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(BoardLinkTest, FaultsGiveTheLinkCodes) {
  struct Case {
    const char* fault;
    std::int32_t expected;
    int pcEnq;
  };
  for (const Case c :
       {Case{"enq-nak", -20, 4}, Case{"bad-checksum", -25, 4}, Case{"bad-value", -24, 1},
        Case{"garbage", 0, 1}, Case{"lower-checksum", 0, 1}, Case{"enq-nak:3", 0, 4}}) {
    SCOPED_TRACE(c.fault);
    trace_ = TracePath(std::string("board-") + c.fault);
    Open(std::string("--fault ") + c.fault + " --trace " + trace_);
    std::int32_t value = -1;
    EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x81, 0x0A, 0, 15, &value), c.expected);
    EXPECT_EQ(value, c.expected == 0 ? 7 : 0);
    EXPECT_EQ(CountTrace(trace_).pcEnq, c.pcEnq);
    TearDown();
  }
}

TEST_F(BoardLinkTest, PcTraceShowsWhatTheCameraTraceShows) {
  const std::string pcTrace = TracePath("board-pc-side");
  trace_ = TracePath("board-camera-side");
  ASSERT_TRUE(port_.TraceTo(pcTrace));
  Open("--fault bad-checksum:1 --trace " + trace_);
  std::int32_t value = -1;
  EXPECT_EQ(port_.ReadValue(0x01, 0xFF, 0x81, 0x0A, 0, 15, &value), 0);
  port_.TraceTo("");
  EXPECT_EQ(TracedBytes(pcTrace, "PC->CAM"), TracedBytes(trace_, "PC->CAM"));
  EXPECT_EQ(TracedBytes(pcTrace, "CAM->PC"), TracedBytes(trace_, "CAM->PC"));
  EXPECT_NE(TracedBytes(pcTrace, "PC->CAM").find("NAK"), std::string::npos);
  std::filesystem::remove(pcTrace);
}

TEST_F(BoardLinkTest, InitFailureAndHangup) {
  setenv("TAVREL_CLSERSIM", "--init-fail", 1);
  port_.OpenBoard(CLSERSIM_PATH);
  EXPECT_FALSE(port_.HasBoardConnection());
  port_.Close();
  Open("--fault hangup");
  // Every write and read on a hung-up board ends at once, short: the time-out
  // code after the four handshakes, which end before a single one of their
  // time-outs (1000 ms for an ENQ, as long for its answer) could run out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_.WriteValue(0x01, 0xFF, 0x01, 0x0C, 0, 462, 1), -5);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

}  // namespace
