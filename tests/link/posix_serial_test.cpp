// The COM port on a real pseudo-terminal; the test plays the camera on the
// master side.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "link/comm_port.h"
#include "link/posix_serial.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/pty_pair.h"

namespace tavrel {
namespace {

using testing::PtyPair;

// Short per-byte time-outs: a time-out here must not slow the suite.
constexpr std::int32_t kShortTimeoutMs = 20;

// What the camera end can read right now (nothing if it is empty).
std::string Pending(int master) {
  std::string got;
  char buffer[64];
  pollfd readable{master, POLLIN, 0};
  while (poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN) != 0) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

class PosixSerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    setenv("TAVREL_COM3", pty.slavePath().c_str(), 1);
  }
  void TearDown() override { unsetenv("TAVREL_COM3"); }

  std::string ReadFromMaster(std::size_t count) {
    std::string got;
    char buffer[64];
    while (got.size() < count) {
      const ssize_t n = read(pty.master(), buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  // A second descriptor on the port's terminal, opened before the port (which
  // then takes the terminal for itself): it shows when bytes sent from the
  // camera side have reached the port's receive queue.
  int WatchTerminal() { return open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); }
  static bool Arrived(int watch) {
    pollfd in{watch, POLLIN, 0};
    return poll(&in, 1, 5000) == 1;
  }
  // The port on the terminal, with line-error counters the test moves.
  std::shared_ptr<LineErrorCounts> AttachWithCounters() {
    TerminalOpening opening = OpenTerminal(pty.slavePath());
    EXPECT_TRUE(opening.terminal) << opening.failure.reason;
    if (!opening.terminal) return nullptr;
    auto serial = std::make_unique<PosixSerial>(std::move(opening.terminal));
    EXPECT_EQ(0, serial->Configure(CameraLine(9600)));
    auto counts = std::make_shared<LineErrorCounts>();
    serial->SetLineCounterSource([counts](LineErrorCounts* now) {
      *now = *counts;
      return true;
    });
    port.AttachTransport(std::move(serial), 3, 9600);
    return counts;
  }

  PtyPair pty;
  CommPort port;
};

TEST_F(PosixSerialTest, OpensThroughEnvironmentAndMovesBytesBothWays) {
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  EXPECT_TRUE(port.IsPortOpen());
  EXPECT_EQ(3, port.GetPortNumber());
  EXPECT_EQ(9600, port.GetBaudRate());

  const std::uint8_t out[] = {kEnq, 'A', 0x00, 0xFF};
  EXPECT_EQ(4, port.Write(out, 4, 1000));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out), 4), ReadFromMaster(4));

  ASSERT_EQ(3, write(pty.master(), "\x06xy", 3));
  std::uint8_t in[3] = {};
  EXPECT_EQ(3, port.Read(in, 3, 1000));
  EXPECT_EQ(kAck, in[0]);
  EXPECT_EQ('y', in[2]);
}

// What the camera line is set to, read back from the terminal: 8 data bits,
// no parity, two stop bits, no flow control, at the chosen speed.
TEST_F(PosixSerialTest, LineSettingsReadBack) {
  struct Case {
    std::int32_t baud;
    speed_t speed;
  };
  for (const Case& c : {Case{9600, B9600}, Case{19200, B19200}, Case{38400, B38400}}) {
    SCOPED_TRACE(c.baud);
    ASSERT_EQ(0, port.OpenSerial(3, c.baud)) << port.GetSystemErrorText();
    termios line{};
    ASSERT_EQ(0, tcgetattr(pty.master(), &line));  // a pty master reports its terminal's
    EXPECT_EQ(c.speed, cfgetospeed(&line));
    EXPECT_EQ(c.speed, cfgetispeed(&line));
    EXPECT_EQ(static_cast<tcflag_t>(CS8), line.c_cflag & CSIZE);
    EXPECT_NE(0u, line.c_cflag & CSTOPB);
    EXPECT_EQ(0u, line.c_cflag & (PARENB | CRTSCTS));
    EXPECT_NE(0u, line.c_cflag & CREAD);
    EXPECT_EQ(0u, line.c_iflag & (IXON | IXOFF | INPCK | ICRNL | ISTRIP));
    EXPECT_EQ(0u, line.c_oflag & OPOST);
    EXPECT_EQ(0u, line.c_lflag & (ICANON | ECHO | ISIG));
    port.Close();
  }
}

// A byte left waiting on the line (here a NAK) is thrown away before the
// command's handshake, so the command goes through at the first attempt.
TEST_F(PosixSerialTest, StaleByteBeforeACommandIsPurged) {
  const int watch = WatchTerminal();
  ASSERT_GE(watch, 0);
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  ASSERT_EQ(1, write(pty.master(), "\x15", 1));
  ASSERT_TRUE(Arrived(watch));

  // The camera: ACK after ENQ, ACK after the frame's checksum.
  std::string heard;
  std::thread camera([&] {
    std::size_t etx = std::string::npos;
    while (etx == std::string::npos || heard.size() < etx + 3) {
      pollfd in{pty.master(), POLLIN, 0};
      if (poll(&in, 1, 5000) != 1) return;
      char byte = 0;
      if (read(pty.master(), &byte, 1) != 1) return;
      heard += byte;
      if (byte == kEnq) {
        ASSERT_EQ(1, write(pty.master(), "\x06", 1));
      }
      if (byte == kEtx) etx = heard.size() - 1;
    }
    ASSERT_EQ(1, write(pty.master(), "\x06", 1));
  });
  EXPECT_EQ(0, port.SendCommand("01FF010C012C00"));
  camera.join();
  close(watch);
  EXPECT_EQ(0, port.GetErrorCode());
  EXPECT_EQ(
      "\x05\x02"
      "01FF010C012C00\x03"
      "03",
      heard);
}

TEST_F(PosixSerialTest, TimedOutReadDiscardsWhatArrived) {
  const int watch = WatchTerminal();
  ASSERT_GE(watch, 0);
  ASSERT_EQ(0, port.OpenSerial(3, 19200)) << port.GetSystemErrorText();
  ASSERT_EQ(2, write(pty.master(), "ab", 2));
  ASSERT_TRUE(Arrived(watch));  // both bytes wait before the read begins
  close(watch);
  std::uint8_t in[4] = {};
  EXPECT_EQ(-5, port.Read(in, 4, kShortTimeoutMs));
  EXPECT_EQ(5, port.GetErrorCode());
  // The partial "ab" is gone: the next byte read is the next one sent.
  ASSERT_EQ(1, write(pty.master(), "c", 1));
  EXPECT_EQ(1, port.Read(in, 1, 1000));
  EXPECT_EQ('c', in[0]);
}

TEST_F(PosixSerialTest, PortIsNotShared) {
  ASSERT_EQ(0, port.OpenSerial(3, 38400)) << port.GetSystemErrorText();
  CommPort second;
  EXPECT_EQ(-4, second.OpenSerial(3, 38400));
  EXPECT_NE(std::string::npos, second.GetSystemErrorText().find("busy"));
  port.Close();
  EXPECT_EQ(0, second.OpenSerial(3, 38400)) << second.GetSystemErrorText();
}

TEST_F(PosixSerialTest, RejectsBadPortNumbersAndMissingDevices) {
  ASSERT_EQ(0, port.OpenSerial(3, 9600));
  EXPECT_EQ(-2, port.OpenSerial(11, 9600));
  EXPECT_FALSE(port.IsPortOpen());  // the open port was closed first
  EXPECT_EQ(3, port.GetPortNumber());
  EXPECT_EQ(-2, port.OpenSerial(-1, 9600));

  EXPECT_EQ(-4, port.OpenSerial(0, 9600));
  EXPECT_EQ(0, port.GetPortNumber());
  std::uint8_t byte = 0;
  EXPECT_EQ(-3, port.Read(&byte, 1, kShortTimeoutMs));
  EXPECT_EQ(-3, port.Write(&byte, 1, kShortTimeoutMs));
  EXPECT_EQ(-3, port.Purge(kPurgeRxClear));
}

TEST_F(PosixSerialTest, DevicesThatCannotServeAsPortsFailToOpen) {
  struct Case {
    const char* path;
    std::int32_t baud;
  };
  const std::string slave = pty.slavePath();
  const Case cases[] = {
      {"/nonexistent/tty", 9600},  // no such device
      {"/dev/null", 9600},         // not a terminal
      {slave.c_str(), 12345},      // a rate the line cannot run at
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    setenv("TAVREL_COM3", c.path, 1);
    EXPECT_EQ(-4, port.OpenSerial(3, c.baud));
    EXPECT_FALSE(port.IsPortOpen());
    EXPECT_FALSE(port.GetSystemErrorText().empty());
  }
}

TEST_F(PosixSerialTest, ByteCountMustBePositive) {
  ASSERT_EQ(0, port.OpenSerialDevice(pty.slavePath(), 9600));
  EXPECT_EQ(0, port.GetPortNumber());
  std::uint8_t byte = 0;
  EXPECT_EQ(-6, port.Read(&byte, 0, kShortTimeoutMs));
  EXPECT_EQ(-6, port.Write(&byte, -1, kShortTimeoutMs));
}

TEST_F(PosixSerialTest, PurgeKeepsBytesThatHaveLeftThePort) {
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  // A reply's ACK, then the next command's purge before the camera has read
  // it: the ACK has left the port and belongs to the camera.
  ASSERT_EQ(1, port.Write(&kAck, 1, 1000));
  ASSERT_EQ(1, write(pty.master(), "z", 1));
  EXPECT_EQ(0, port.Purge(kPurgeTxClear | kPurgeRxClear));
  pollfd readable{pty.master(), POLLIN, 0};
  ASSERT_EQ(1, poll(&readable, 1, 5000));
  EXPECT_EQ(std::string(1, static_cast<char>(kAck)), Pending(pty.master()));
  // The receive side was emptied: the stale "z" is gone.
  std::uint8_t in = 0;
  EXPECT_EQ(-5, port.Read(&in, 1, kShortTimeoutMs));
}

// A real UART holds written bytes in its output queue for their wire time;
// here the queue's length is played by the test.
class OutputQueueTest : public PosixSerialTest {
 protected:
  void SetUp() override {
    PosixSerialTest::SetUp();
    TerminalOpening opening = OpenTerminal(pty.slavePath());
    ASSERT_TRUE(opening.terminal) << opening.failure.reason;
    auto serial = std::make_unique<PosixSerial>(std::move(opening.terminal));
    ASSERT_EQ(0, serial->Configure(CameraLine(9600)));
    serial->SetOutputQueueSource([this](int* queued) {
      *queued = queuedBytes;
      if (drainsOnAsk && queuedBytes > 0) --queuedBytes;
      return true;
    });
    port.AttachTransport(std::move(serial), 3, 9600);
  }
  // The port's close still asks the queue, which lives in this fixture.
  void TearDown() override {
    port.Close();
    PosixSerialTest::TearDown();
  }

  int queuedBytes = 0;
  bool drainsOnAsk = false;
};

TEST_F(OutputQueueTest, WriteWaitsUntilTheQueueHasEmptied) {
  queuedBytes = 3;
  drainsOnAsk = true;
  EXPECT_EQ(1, port.Write(&kAck, 1, 1000));
  EXPECT_EQ(0, queuedBytes);
}

TEST_F(OutputQueueTest, QueueThatDoesNotEmptyInTimeGivesAShortCountAndTheTimeOut) {
  queuedBytes = 2;  // stuck: what is queued never leaves
  const std::uint8_t frame[] = {kStx, 'A', kEtx, '0', '0'};
  EXPECT_EQ(3, port.Write(frame, 5, kShortTimeoutMs));
  EXPECT_EQ(5, port.GetErrorCode());
  EXPECT_NE(std::string::npos, port.GetSystemErrorText().find("2 of 5 bytes not sent"));
}

// A transmitter that never empties (output stopped, as by a flow-control
// stop the line does not lift): the write ends at its time-out with a short
// count and records the time-out, or the line error flagged meanwhile, as a
// failed read does, so that the box tells why the command failed.
TEST_F(PosixSerialTest, WriteTheLineDoesNotTakeRecordsItsReason) {
  struct Case {
    const char* what;
    bool framingError;
    std::int32_t code;
  };
  const int watch = WatchTerminal();
  ASSERT_GE(watch, 0);
  const auto counts = AttachWithCounters();
  ASSERT_NE(nullptr, counts);
  ASSERT_EQ(0, tcflow(watch, TCOOFF));
  for (const Case& c : {Case{"nothing flagged", false, 5}, Case{"framing error", true, 10}}) {
    SCOPED_TRACE(c.what);
    port.SetError(LinkCode::kChecksumMismatch);  // an older reason, not to be shown again
    if (c.framingError) ++counts->framing;
    EXPECT_EQ(0, port.Write(&kEnq, 1, kShortTimeoutMs));
    EXPECT_EQ(c.code, port.GetErrorCode());
    EXPECT_NE(std::string::npos, port.GetSystemErrorText().find("timed out"));
    // Reported once: the next failure is a plain time-out.
    std::uint8_t in = 0;
    EXPECT_EQ(-5, port.Read(&in, 1, kShortTimeoutMs));
  }
  ASSERT_EQ(0, tcflow(watch, TCOON));
  EXPECT_EQ(1, port.Write(&kEnq, 1, 1000));
  EXPECT_EQ(std::string(1, static_cast<char>(kEnq)), ReadFromMaster(1));
  close(watch);
}

// Runs `step` and checks that it ended before half of `waitedOut`, the time
// it takes when it waits out its time-outs (a hung-up line that is polled on
// until the deadline): a bound far from the time the step really takes.
template <typename Step>
auto EndsLongBefore(std::chrono::milliseconds waitedOut, Step step) {
  const auto start = std::chrono::steady_clock::now();
  const auto result = step();
  EXPECT_LT(std::chrono::steady_clock::now() - start, waitedOut / 2);
  return result;
}

TEST_F(PosixSerialTest, HungUpLineFailsAtOnceWithTimeOutCode) {
  using std::chrono::milliseconds;
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  ASSERT_EQ(2, write(pty.master(), "ab", 2));
  pty.CloseMaster();
  // No line error was seen, so every failure is code 5 (not an I/O error),
  // and the system's reason is kept. The long time-outs must not be waited
  // out; a command waits out at least its four ENQ answers' (1000 ms each).
  std::uint8_t in[4] = {};
  EXPECT_EQ(-5, EndsLongBefore(milliseconds(4 * 5000), [&] { return port.Read(in, 4, 5000); }));
  EXPECT_NE(std::string::npos, port.GetSystemErrorText().find("read"));
  EXPECT_EQ(0, EndsLongBefore(milliseconds(20'000), [&] { return port.Write(in, 1, 20'000); }));
  EXPECT_EQ(5, port.GetErrorCode());
  EXPECT_NE(std::string::npos, port.GetSystemErrorText().find("write"));
  // The hung-up port was closed; each exchange after it opens the device
  // again, which is gone for good here: they fail at once, as the open does.
  EXPECT_FALSE(port.IsPortOpen());
  EXPECT_TRUE(port.IsAwaitingReopen());
  EXPECT_EQ(-4, EndsLongBefore(milliseconds(4 * 1000),
                               [&] { return port.SendCommand("01FF010C012C00"); }));
  char reply[kMessageBufferSize];
  EXPECT_EQ(-4, EndsLongBefore(milliseconds(4 * 1000),
                               [&] { return port.Query("01FF810C000000", reply); }));
  EXPECT_EQ(pty.slavePath(), port.GetDeviceOpenFailure().devicePath);
  EXPECT_TRUE(port.IsAwaitingReopen());
}

// The camera's end goes away while the port waits for its answer.
TEST_F(PosixSerialTest, HangUpDuringAWaitEndsIt) {
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  ASSERT_EQ(1, port.Write(&kEnq, 1, 1000));
  std::thread camera([this] {
    ReadFromMaster(1);  // the ENQ, then the line goes
    pty.CloseMaster();
  });
  std::uint8_t in = 0;
  EXPECT_EQ(-5, EndsLongBefore(std::chrono::milliseconds(20'000),
                               [&] { return port.Read(&in, 1, 20'000); }));
  camera.join();
}

// Only a line that hung up is opened again: a port that never opened, or
// that the program closed, keeps failing as a port that is not open.
TEST_F(PosixSerialTest, PortsTheProgramClosedOrNeverOpenedStayClosed) {
  setenv("TAVREL_COM3", "/nonexistent/tty", 1);
  EXPECT_EQ(-4, port.OpenSerial(3, 9600));
  setenv("TAVREL_COM3", pty.slavePath().c_str(), 1);
  EXPECT_EQ(-3, port.SendCommand("01FF010C012C00"));
  ASSERT_EQ(0, port.OpenSerial(3, 9600)) << port.GetSystemErrorText();
  port.Close();
  EXPECT_FALSE(port.IsAwaitingReopen());
  EXPECT_EQ(-3, port.SendCommand("01FF010C012C00"));
  EXPECT_FALSE(port.IsPortOpen());
}

// The exclusive mode outlives a close wherever the terminal stays (here the
// pty's other side keeps it); root is not stopped by it, so the case runs as
// "nobody" when the test runs as root.
TEST_F(PosixSerialTest, AnOrdinaryUserOpensThePortAgainAfterClosingIt) {
  const std::string path = pty.slavePath();
  ASSERT_TRUE(testing::GiveToOrdinaryUser(path));
  const int status = testing::RunAsOrdinaryUser([&path] {
    for (int open = 1; open <= 2; ++open) {
      CommPort port;
      if (port.OpenSerialDevice(path, 9600) != 0) return open;
    }
    return 0;
  });
  EXPECT_EQ(0, status) << "open number " << status << " failed";
}

TEST_F(PosixSerialTest, LineSettingsThePortRefusesFailWithTimeOutCode) {
  struct Case {
    int byteSize;
    int parity;
  };
  for (const Case c : {Case{9, 0}, Case{8, 7}}) {
    SCOPED_TRACE(c.byteSize * 10 + c.parity);
    EXPECT_EQ(-5, port.Open(3, 9600, c.byteSize, 2, c.parity));
    EXPECT_TRUE(port.IsPortOpen());  // only the settings failed
    EXPECT_FALSE(port.GetSystemErrorText().empty());
  }
}

TEST_F(PosixSerialTest, LineErrorsStayFlaggedUntilAFailureReportsThem) {
  const auto counts = AttachWithCounters();
  ASSERT_NE(nullptr, counts);

  // A framing error during a read that still succeeds...
  ASSERT_EQ(1, write(pty.master(), "a", 1));
  ++counts->framing;
  std::uint8_t in = 0;
  EXPECT_EQ(1, port.Read(&in, 1, 1000));
  EXPECT_EQ(0, port.GetErrorCode());
  // ...outlasts the next command's purge...
  EXPECT_EQ(0, port.Purge(kPurgeTxClear | kPurgeRxClear));
  // ...and is reported by the next failure, and only by that one.
  EXPECT_EQ(-10, port.Read(&in, 1, kShortTimeoutMs));
  EXPECT_EQ(-5, port.Read(&in, 1, kShortTimeoutMs));

  // A parity error, then the line hangs up: the failed write reports it.
  ++counts->parity;
  ++counts->breaks;
  pty.CloseMaster();
  EXPECT_EQ(0, port.Write(&kEnq, 1, 1000));
  EXPECT_EQ(9, port.GetErrorCode());  // a break wins over a parity error
  EXPECT_EQ(-5, port.Read(&in, 1, 1000));
}

TEST(LineErrors, FirstFlagInOrderDecides) {
  struct Case {
    std::uint32_t flags;
    std::int32_t code;
  };
  const Case cases[] = {
      {0, 5},
      {kLineErrorFrame, 10},
      {kLineErrorRxParity, 15},
      {kLineErrorBreak | kLineErrorFrame, 9},
      {kLineErrorMode | kLineErrorBreak, 12},
      {kLineErrorIoe | kLineErrorOverrun, 11},
      {kLineErrorRxOver | kLineErrorRxParity, 14},
      {kLineErrorTxFull | kLineErrorDns, 16},
      {kLineErrorPto | kLineErrorOop, 18},
      {kLineErrorOop, 19},
      {0x0020, 5},  // not a line error
  };
  for (const Case& c : cases) EXPECT_EQ(c.code, CommPort::LineErrorCode(c.flags)) << c.flags;
}

}  // namespace
}  // namespace tavrel
