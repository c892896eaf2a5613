// The camera message protocol on a scripted line with a virtual clock.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "link/comm_port.h"
#include "tests/support/scripted_transport.h"

namespace tavrel {
namespace {

using testing::Bytes;
using testing::ScriptedTransport;
using testing::ToBytes;

const Bytes kEnqByte{kEnq};
const Bytes kAckByte{kAck};
const Bytes kNakByte{kNak};

// STX, `text` and ETX, then `checksum`, or the right checksum when none is
// given.
Bytes Framed(const std::string& text, const std::string& checksum = {}) {
  const std::string frame = static_cast<char>(kStx) + text + static_cast<char>(kEtx);
  std::string sum = checksum;
  if (sum.empty()) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X",
                  CommPort::Checksum(reinterpret_cast<const std::uint8_t*>(frame.data()),
                                     static_cast<std::int32_t>(frame.size())));
    sum = digits;
  }
  return ToBytes(frame + sum);
}

// The frame the link must send for `body`.
Bytes CommandFrame(const std::string& body, const std::string& checksum = {}) {
  return Framed(body, checksum);
}

// A reply frame carrying `value` (six characters).
Bytes ReplyFrame(const std::string& value, const std::string& checksum = {}) {
  return Framed(value, checksum);
}

class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() { AttachNewLine(); }
  void AttachNewLine() {
    auto transport = std::make_unique<ScriptedTransport>();
    line = transport.get();
    port.AttachTransport(std::move(transport), 1, 9600);
  }
  void ExpectCommand(const Bytes& frame) {
    line->ExpectWrite(kEnqByte).Send(kAckByte).ExpectWrite(frame).Send(kAckByte);
  }

  CommPort port;
  ScriptedTransport* line = nullptr;
};

TEST_F(ProtocolTest, FramesBodiesWithTwoDigitChecksum) {
  struct Case {
    std::string body;
    std::string checksum;
  };
  for (const Case& c :
       {Case{"01FF010C012C00", "03"}, Case{"", "FA"}, Case{std::string(22, '0'), "DA"}}) {
    SCOPED_TRACE(c.body);
    ExpectCommand(CommandFrame(c.body, c.checksum));
    EXPECT_EQ(0, port.SendCommand(c.body.c_str()));
    EXPECT_TRUE(line->Finished());
  }
}

TEST_F(ProtocolTest, OverlongBodyFailsBeforeTouchingTheLine) {
  EXPECT_EQ(-26, port.SendCommand(std::string(23, '0').c_str()));
  EXPECT_EQ(26, port.GetErrorCode());
  EXPECT_TRUE(line->log.empty());
  EXPECT_EQ(0, line->purges);
}

TEST(ProtocolValues, FormatsValuesInTheRegisterByteOrder) {
  struct Case {
    int h3, minimum, maximum, value;
    const char* body;
  };
  const Case cases[] = {
      {0x01, 0, 462, 300, "01FF010C012C00"},      // two bytes, MSB first
      {0x10, 0, 462, 300, "01FF100C2C0100"},      // identification: LSB first
      {0x01, 0, 65536, 70000, "01FF010C011170"},  // three bytes, MSB first
      {0x01, 0, 255, 200, "01FF010CC80000"},      // one byte: unchanged
      {0x81, 0, 462, 0, "01FF810C000000"},
      // Negative values: each step divides by 256 toward zero.
      {0x01, 0, 4, -1, "01FF010CFF0000"},
      {0x10, 0, 462, -300, "01FF100CD4FF00"},
  };
  CommPort port;
  for (const Case& c : cases) {
    char body[kMessageBufferSize];
    EXPECT_STREQ(c.body,
                 port.FormatCommand(body, 0x01, 0xFF, c.h3, 0x0C, c.minimum, c.maximum, c.value));
  }
}

TEST_F(ProtocolTest, ReadValueDecodesRepliesInTheRegisterByteOrder) {
  struct Case {
    int h3, maximum;
    std::string replyValue;
    std::int32_t expected;
  };
  const Case cases[] = {
      {0x81, 462, "012C00", 300},
      {0x81, 462, "012C7F", 300},  // third byte dropped for a two-byte range
      {0x90, 462, "2C0100", 300},
      {0x81, 65536, "011170", 70000},
      // Lower-case digits count as their capitals.
      {0x81, 462, "012c00", 300},
      {0x90, 462, "2c0100", 300},
      {0x90, 0xFFFFFF, "abcdef", 0xEFCDAB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replyValue);
    char body[kMessageBufferSize];
    port.FormatCommand(body, 0x01, 0xFF, c.h3, 0x0C, 0, c.maximum, 0);
    ExpectCommand(CommandFrame(body));
    line->Send(ReplyFrame(c.replyValue)).ExpectWrite(kAckByte);
    std::int32_t value = -1;
    EXPECT_EQ(0, port.ReadValue(0x01, 0xFF, c.h3, 0x0C, 0, c.maximum, &value));
    EXPECT_EQ(c.expected, value);
    EXPECT_TRUE(line->Finished());
  }
}

TEST_F(ProtocolTest, AcceptsLowerCaseChecksumDigits) {
  EXPECT_EQ(ReplyFrame("012C00"), ReplyFrame("012C00", "C4"));  // the worked example
  // A letter in the low digit too: in the high one a wrong digit value
  // would be lost in the low 8 bits.
  EXPECT_EQ(ReplyFrame("012C05"), ReplyFrame("012C05", "BF"));
  for (const char* checksum : {"c4", "bf"}) {
    SCOPED_TRACE(checksum);
    const std::string value = checksum[0] == 'c' ? "012C00" : "012C05";
    ExpectCommand(CommandFrame("01FF810C000000"));
    line->Send(ReplyFrame(value, checksum)).ExpectWrite(kAckByte);
    char answer[kMessageBufferSize];
    EXPECT_EQ(6, port.Query("01FF810C000000", answer));
    EXPECT_EQ(value, answer);
    EXPECT_TRUE(line->Finished());
  }
}

TEST_F(ProtocolTest, HandshakeGivesUpAfterFourRefusedEnqs) {
  for (int i = 0; i < 4; ++i) line->ExpectWrite(kEnqByte).Send(kNakByte);
  EXPECT_EQ(-20, port.SendCommand("AB"));
  EXPECT_TRUE(line->Finished());  // no frame was written
}

TEST_F(ProtocolTest, SilentCameraTimesOutAfterFourEnqs) {
  for (int i = 0; i < 4; ++i) line->ExpectWrite(kEnqByte).TimeOut();
  EXPECT_EQ(-5, port.SendCommand("AB"));
  EXPECT_EQ(4 * 1000, line->virtualMs);
}

TEST_F(ProtocolTest, FrameIsRepeatedWithoutNewHandshake) {
  const Bytes frame = CommandFrame("AB");
  line->ExpectWrite(kEnqByte).Send(kAckByte);
  for (int i = 0; i < 4; ++i) line->ExpectWrite(frame).TimeOut();
  EXPECT_EQ(-5, port.SendCommand("AB"));
  EXPECT_TRUE(line->Finished());
  EXPECT_EQ(4 * 3000, line->virtualMs);
}

TEST_F(ProtocolTest, BadReplyFramesAreRefusedThenCommandSentAgain) {
  const Bytes frame = CommandFrame("AB");
  for (int cycle = 0; cycle < 4; ++cycle) {
    ExpectCommand(frame);
    for (int i = 0; i < 4; ++i) line->Send(ReplyFrame("012C00", "00")).ExpectWrite(kNakByte);
  }
  char answer[kMessageBufferSize];
  EXPECT_EQ(-25, port.Query("AB", answer));
  EXPECT_TRUE(line->Finished());
}

TEST_F(ProtocolTest, GoodFrameAfterBadOnesIsAccepted) {
  ExpectCommand(CommandFrame("AB"));
  line->Send(ReplyFrame("012C00", "00")).ExpectWrite(kNakByte);
  line->Send(ToBytes("xyz")).Send(ReplyFrame("012C00")).ExpectWrite(kAckByte);
  char answer[kMessageBufferSize];
  EXPECT_EQ(6, port.Query("AB", answer));
  EXPECT_STREQ("012C00", answer);
}

TEST_F(ProtocolTest, NonHexValueIsAcknowledgedButNotAValue) {
  for (int pass = 0; pass < 2; ++pass) {
    ExpectCommand(CommandFrame("01FF810C000000"));
    line->Send(ReplyFrame("01G?00")).ExpectWrite(kAckByte);
  }
  char answer[kMessageBufferSize];
  EXPECT_EQ(6, port.Query("01FF810C000000", answer));
  EXPECT_STREQ("01G?00", answer);
  std::int32_t value = -1;
  EXPECT_EQ(-24, port.ReadValue(0x01, 0xFF, 0x81, 0x0C, 0, 462, &value));
  EXPECT_EQ(0, value);
}

// Each of the six value characters is tested, the last as much as the first.
TEST_F(ProtocolTest, EveryValueCharacterMustBeAHexDigit) {
  for (const char* replyValue : {"G12C00", "012C0G", "012C:0", "012C0g"}) {
    SCOPED_TRACE(replyValue);
    ExpectCommand(CommandFrame("01FF810C000000"));
    line->Send(ReplyFrame(replyValue)).ExpectWrite(kAckByte);
    std::int32_t value = -1;
    EXPECT_EQ(-24, port.ReadValue(0x01, 0xFF, 0x81, 0x0C, 0, 462, &value));
    EXPECT_EQ(0, value);
    EXPECT_TRUE(line->Finished());
  }
}

// The wait for a reply's STX is bounded in time, not by how many other bytes
// come: stray bytes do not buy the camera a fresh wait.
TEST_F(ProtocolTest, ReplyWaitEndsInTimeWhateverOtherBytesCome) {
  struct Case {
    const char* name;
    std::int64_t gapMs;  // between stray bytes
    int strayBytes;      // per cycle
  };
  for (const Case c :
       {Case{"a stray byte every 3.9 s", 3900, 1}, Case{"an endless stream of bytes", 10, 400}}) {
    SCOPED_TRACE(c.name);
    AttachNewLine();
    const Bytes frame = CommandFrame("AB");
    for (int cycle = 0; cycle < 4; ++cycle) {
      ExpectCommand(frame);
      for (int i = 0; i < c.strayBytes; ++i) line->Pause(c.gapMs).Send(ToBytes("x"));
    }
    char answer[kMessageBufferSize];
    EXPECT_EQ(-5, port.Query("AB", answer));
    EXPECT_TRUE(line->Finished());
    EXPECT_EQ(4 * CommPort::kReplyStartWindowMs, line->virtualMs);
  }
}

TEST_F(ProtocolTest, ReplyWaitKeepsTheCodeOfAFailedRead) {
  const Bytes frame = CommandFrame("AB");
  for (int cycle = 0; cycle < 4; ++cycle) {
    ExpectCommand(frame);
    line->Pause(100).Send(ToBytes("x")).TimeOut(LinkCode::kFramingError);
  }
  char answer[kMessageBufferSize];
  EXPECT_EQ(-10, port.Query("AB", answer));
  EXPECT_TRUE(line->Finished());
  EXPECT_EQ(4 * CommPort::kReplyStartWindowMs, line->virtualMs);
}

TEST_F(ProtocolTest, EachReplyFrameGetsItsOwnWait) {
  // After a rejected frame the wait for the next one starts afresh.
  ExpectCommand(CommandFrame("AB"));
  line->Pause(3000).Send(ReplyFrame("012C00", "00")).ExpectWrite(kNakByte);
  line->Pause(3000).Send(ReplyFrame("012C00")).ExpectWrite(kAckByte);
  char answer[kMessageBufferSize];
  EXPECT_EQ(6, port.Query("AB", answer));
  EXPECT_STREQ("012C00", answer);
}

TEST_F(ProtocolTest, SilentReplyEndsEachCycleWithTimeOut) {
  const Bytes frame = CommandFrame("AB");
  for (int cycle = 0; cycle < 4; ++cycle) ExpectCommand(frame), line->TimeOut();
  char answer[kMessageBufferSize];
  EXPECT_EQ(-5, port.Query("AB", answer));
  EXPECT_EQ(4 * 4000, line->virtualMs);
}

TEST_F(ProtocolTest, FailedCommandKeepsTheCodeOfItsLastFailingStep) {
  // NAK to the first ENQ records 20; the three time-outs after it record 5.
  line->ExpectWrite(kEnqByte).Send(kNakByte);
  for (int i = 0; i < 3; ++i) line->ExpectWrite(kEnqByte).TimeOut();
  EXPECT_EQ(-5, port.SendCommand("AB"));
  // A later failure "with the stored code" keeps it.
  EXPECT_EQ(-5, port.SetError(kKeepStoredCode));
  EXPECT_EQ(5, port.GetErrorCode());
}

TEST(ProtocolReplies, CheckReplyTestsInOrder) {
  struct Case {
    Bytes frame;
    std::int32_t length;
    std::int32_t code;
  };
  Bytes good = ReplyFrame("012C00");
  Bytes noStxNoEtx = good;
  noStxNoEtx[0] = 'x';
  noStxNoEtx[7] = 'x';
  Bytes noEtx = good;
  noEtx[7] = 'x';
  Bytes badDigits = ReplyFrame("012C00", "G0");
  Bytes badSum = ReplyFrame("012C00", "C5");
  const Case cases[] = {
      {noStxNoEtx, 9, 21}, {noStxNoEtx, 10, 22}, {noEtx, 10, 23},
      {badDigits, 10, 24}, {badSum, 10, 25},     {good, 10, 0},
  };
  for (const Case& c : cases) {
    CommPort port;
    EXPECT_EQ(-c.code, port.CheckReply(c.frame.data(), c.length));
  }
}

}  // namespace
}  // namespace tavrel
