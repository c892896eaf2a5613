#include "sim/responder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// The frame the PC sends: STX body ETX and the checksum in upper-case hex.
Bytes Frame(const std::string& body, bool lowerDigits = false) {
  Bytes frame = {0x02};
  for (char c : body) frame.push_back(static_cast<std::uint8_t>(c));
  frame.push_back(0x03);
  unsigned sum = 0;
  for (auto b : frame) sum += b;
  char digits[3];
  std::snprintf(digits, sizeof digits, lowerDigits ? "%02x" : "%02X", (sum & 0xFF) ^ 0xFF);
  frame.push_back(static_cast<std::uint8_t>(digits[0]));
  frame.push_back(static_cast<std::uint8_t>(digits[1]));
  return frame;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Bytes kAckOnly = {0x06};
const Bytes kNakOnly = {0x15};

// A responder driven with a virtual clock.
class Camera {
 public:
  explicit Camera(sim::CameraOptions options = {}) : responder(options) {}

  // `silenceUs` passes before the first byte.
  Bytes Send(const Bytes& bytes, std::int64_t silenceUs = 100) {
    Bytes out;
    for (auto byte : bytes) {
      now += &byte == &bytes.front() ? silenceUs : 100;
      responder.Receive(byte, now, out);
    }
    return out;
  }
  // ENQ, then the frame: the answers to both.
  Bytes Command(const std::string& body) { return Send(Cat({0x05}, Frame(body))); }
  // A full read: the reply's six value characters (acknowledged).
  std::string Read(const std::string& body) {
    const Bytes out = Command(body);
    Send({0x06});
    if (out.size() != 12 || out[0] != 0x06 || out[1] != 0x06) return "<" + Hex(out) + ">";
    return std::string(out.begin() + 3, out.begin() + 9);
  }
  static std::string Hex(const Bytes& bytes) {
    std::string text;
    for (auto b : bytes) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02X ", b);
      text += hex;
    }
    return text;
  }

  sim::Responder responder;
  std::int64_t now = 1'000'000;
};

TEST(ResponderTest, AnswersEnqAndIgnoresNoiseBetweenFrames) {
  Camera camera;
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
  EXPECT_EQ(camera.Send(B("xyz\x06\x15\x03")), Bytes{});
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
}

TEST(ResponderTest, KnownWriteAndReadFrames) {
  Camera camera;
  // Writing 300 to the gain register: checksum 03, the reply checksum C4.
  const Bytes frame = Frame("01FF010C012C00");
  EXPECT_EQ(frame, Cat(Cat({0x02}, B("01FF010C012C00")), Cat({0x03}, B("03"))));
  EXPECT_EQ(camera.Command("01FF010C012C00"), Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.responder.Registers().Read(1, 0x01, 0x0C),
            sim::RegisterBytes({0x01, 0x2C, 0x00}));
  const Bytes reply = camera.Command("01FF810C000000");
  EXPECT_EQ(reply, Cat(Bytes{0x06, 0x06, 0x02}, Cat(B("012C00"), Cat({0x03}, B("C4")))));
  EXPECT_EQ(camera.Send({0x06}), Bytes{});
  EXPECT_EQ(camera.responder.ReceivedBodies(),
            std::vector<std::string>({"01FF010C012C00", "01FF810C000000"}));
}

// A camera that serves for days keeps only the latest bodies, or none.
TEST(ResponderTest, KeepsABoundedHistoryOfBodies) {
  for (const std::size_t history : {std::size_t{0}, std::size_t{3}, sim::kDefaultBodyHistory}) {
    sim::CameraOptions options;
    options.bodyHistory = history;
    Camera camera(options);
    const int sent = static_cast<int>(sim::kDefaultBodyHistory) + 50;
    std::vector<std::string> bodies;
    for (int i = 0; i < sent; ++i) {
      char body[16];
      std::snprintf(body, sizeof body, "01FF010C%02X0000", i & 0xFF);
      bodies.push_back(body);
      ASSERT_EQ(camera.Command(body), Bytes({0x06, 0x06}));
    }
    EXPECT_EQ(camera.responder.FramesServed(), sent);
    EXPECT_EQ(camera.responder.ReceivedBodies(),
              std::vector<std::string>(bodies.end() - static_cast<std::ptrdiff_t>(history),
                                       bodies.end()));
  }
}

TEST(ResponderTest, WriteThenReadInEveryAreaAndMode) {
  Camera camera;
  for (int h1 : {0, 1}) {
    for (int area : {0x01, 0x02, 0x03, 0x04, 0x05, 0x10}) {
      char write[15], read[15], value[7];
      const int address = area == 0x10 ? 0x40 : 0xF0 + area;
      std::snprintf(value, sizeof value, "%02X%02X%02X", h1 + 0xA0, area, address);
      std::snprintf(write, sizeof write, "%02XFF%02X%02X%s", h1, area, address, value);
      std::snprintf(read, sizeof read, "%02XFF%02X%02X000000", h1, area | 0x80, address);
      SCOPED_TRACE(write);
      EXPECT_EQ(camera.Command(write), Bytes({0x06, 0x06}));
      EXPECT_EQ(camera.Read(read), value);
      // The other mode's register set is separate.
      EXPECT_EQ(camera.responder.Registers().Read(1 - h1, area, address),
                (h1 == 0 ? sim::RegisterBytes{}
                         : sim::RegisterBytes{0xA0, static_cast<std::uint8_t>(area),
                                              static_cast<std::uint8_t>(address)}));
    }
  }
}

TEST(ResponderTest, RejectsBadFramesWithNak) {
  struct Case {
    const char* name;
    Bytes frame;
  };
  Bytes badChecksum = Frame("01FF010C012C00");
  badChecksum.back() = '4';
  Bytes nonHexChecksum = Frame("01FF010C012C00");
  nonHexChecksum.back() = 'G';
  const Case cases[] = {
      {"wrong checksum", badChecksum},
      {"checksum not hex", nonHexChecksum},
      {"unknown area", Frame("01FF060C000000")},
      {"unknown mode", Frame("02FF010C000000")},
      {"short body", Frame("01FF010C0000")},
      {"non-hex body", Frame("01FF010C01ZZ00")},
      {"empty body", Frame("")},
      {"body of 23 characters", Cat({0x02}, B("01FF010C012C0000000000000"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Camera camera;
    EXPECT_EQ(camera.Send(Cat({0x05}, c.frame)), Bytes({0x06, 0x15}));
    EXPECT_TRUE(camera.responder.ReceivedBodies().empty());
    EXPECT_EQ(camera.responder.Registers().Read(1, 0x01, 0x0C), sim::RegisterBytes({0, 0, 0}));
    // The camera is ready for the next command.
    EXPECT_EQ(camera.Command("01FF010C000100"), Bytes({0x06, 0x06}));
  }
}

TEST(ResponderTest, AcceptsLowerCaseChecksumAndResynchronises) {
  Camera camera;
  EXPECT_EQ(camera.Send(Cat({0x05}, Frame("01FF010C00FF00", true))), Bytes({0x06, 0x06}));
  // A frame cut short and restarted by a new STX, then one abandoned by a long
  // silence: only the complete frame counts.
  EXPECT_EQ(camera.Send(Cat(B("\x05\x02"
                              "01FF01"),
                            Frame("01FF010C000200"))),
            Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.Send(B("\x05\x02"
                          "01FF010C")),
            kAckOnly);
  EXPECT_EQ(camera.Send(Frame("01FF010C000300"), 2'000'000), kAckOnly);
  EXPECT_EQ(camera.responder.Registers().Read(1, 0x01, 0x0C),
            sim::RegisterBytes({0x00, 0x03, 0x00}));
}

TEST(ResponderTest, IgnoresAFrameWithoutHandshake) {
  Camera camera;
  EXPECT_EQ(camera.Send(Frame("01FF010C000100")), Bytes{});
  EXPECT_EQ(camera.Command("01FF010C000200"), Bytes({0x06, 0x06}));
  // One handshake serves one accepted frame, with retries after a NAK.
  EXPECT_EQ(camera.Send(Frame("01FF010C000300")), Bytes{});
  EXPECT_EQ(camera.Send(Cat({0x05}, B("\x02"
                                      "01FF010C000400\x03"
                                      "00"))),
            Bytes({0x06, 0x15}));
  EXPECT_EQ(camera.Send(Frame("01FF010C000500")), kAckOnly);
  EXPECT_EQ(camera.responder.Registers().Read(1, 0x01, 0x0C),
            sim::RegisterBytes({0x00, 0x05, 0x00}));
}

TEST(ResponderTest, SerialNumberNeedsTheAccessValue) {
  Camera camera;
  EXPECT_EQ(camera.Command("01FF1010393900"), Bytes({0x06, 0x15}));
  EXPECT_EQ(camera.Command("01FF01604A1C00"), Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.Command("01FF1013393900"), Bytes({0x06, 0x15}));
  // Other identification registers are not locked.
  EXPECT_EQ(camera.Command("01FF1014393900"), Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.Command("01FF01604A1D00"), Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.Command("01FF1010393900"), Bytes({0x06, 0x06}));
  EXPECT_EQ(camera.Read("01FF9010000000"), "393900");
}

TEST(ResponderTest, ResendsTheReplyAfterNakAFewTimes) {
  Camera camera;
  const Bytes first = camera.Command("01FF8111000000");
  const Bytes reply(first.begin() + 2, first.end());
  ASSERT_EQ(reply.size(), 10u);
  for (int i = 1; i < sim::kMaxReplySends; ++i) EXPECT_EQ(camera.Send(kNakOnly), reply);
  EXPECT_EQ(camera.Send(kNakOnly), Bytes{});
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
  // An ENQ while the reply awaits its ACK starts a new command.
  camera.Command("01FF8111000000");
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
}

struct DefaultCase {
  const char* model;
  int area;
  int address;
  sim::RegisterBytes bytes;
};

TEST(ResponderTest, StartsWithTheModelDefaults) {
  const DefaultCase cases[] = {
      {"KESTRA-P/S", 0x01, 0x11, {0x03, 0x42, 0x00}},  // shutter 834, two bytes, MSB first
      {"KESTRA-P/S", 0x01, 0x06, {0x00, 0x00, 0x00}},  // AD clock wins over AGC mode
      {"KESTRA-P/S", 0x01, 0x17, {0x00, 0x00, 0x00}},
      {"KESTRA-P/S", 0x01, 0x20, {0x04, 0xD4, 0x00}},  // 1236
      {"LOMIRA-P/S", 0x01, 0x17, {0x19, 0x00, 0x00}},  // black level 25
      {"LOMIRA-P/S", 0x01, 0x11, {0x03, 0xA1, 0x00}},  // 929
      {"PAVON-P/S", 0x01, 0x20, {0x03, 0x00, 0x00}},   // 768
      {"PAVON-P/S", 0x01, 0x1F, {0x00, 0x01, 0x00}},   // start 1, max 768: two bytes
      {"TEMBRA-P/S", 0x01, 0x0A, {0x07, 0x00, 0x00}},
      {"TEMBRA-P/S", 0x01, 0x02, {0x01, 0x00, 0x00}},
      {"TEMBRA-P/S", 0x01, 0x19, {0x05, 0x00, 0x00}},
      {"QUESSA-P/S", 0x10, 0x08, {'Q', 'U', 0x00}},
      {"QUESSA-P/S", 0x10, 0x0C, {'/', 'S', 0x00}},
      {"QUESSA-P/S", 0x10, 0x0D, {0x00, 0x00, 0x00}},
      {"QUESSA-P/S", 0x10, 0x00, {'T', 'a', 0x00}},
      {"QUESSA-P/S", 0x10, 0x03, {'o', 'k', 0x00}},
      {"QUESSA-P/S", 0x10, 0x04, {0x00, 0x00, 0x00}},
      {"QUESSA-P/S", 0x10, 0x13, {'5', 0x00, 0x00}},
      {"QUESSA-P/S", 0x10, 0x15, {'0', '0', 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.model) + " " + std::to_string(c.area) + "/" +
                 std::to_string(c.address));
    sim::CameraOptions options;
    options.model = c.model;
    sim::Responder responder(options);
    EXPECT_EQ(responder.Registers().Read(1, c.area, c.address), c.bytes);
    EXPECT_EQ(responder.Registers().Read(0, c.area, c.address), c.bytes);
  }
}

TEST(ResponderTest, IdentificationOverridesAndBadOptions) {
  sim::CameraOptions options;
  options.vendorName = "ABCDEFGHIJKLMNOP";
  options.serialNumber = "9876543";
  options.cameraVersion = "2.1a";
  options.modelName = "LOMIRA-S";
  sim::Responder responder(options);
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x07), sim::RegisterBytes({'O', 'P', 0}));
  // The model-name text the camera reports, not its model's name.
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x08), sim::RegisterBytes({'L', 'O', 0}));
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x0B), sim::RegisterBytes({'-', 'S', 0}));
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x0C), sim::RegisterBytes({0, 0, 0}));
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x10), sim::RegisterBytes({'9', '8', 0}));
  EXPECT_EQ(responder.Registers().Read(1, 0x10, 0x14), sim::RegisterBytes({'2', '.', 0}));

  for (auto change : {+[](sim::CameraOptions& o) { o.model = "KESTRA"; },
                      +[](sim::CameraOptions& o) { o.serialNumber = "123"; },
                      +[](sim::CameraOptions& o) { o.cameraVersion = "12345"; },
                      +[](sim::CameraOptions& o) { o.vendorName = std::string(17, 'x'); },
                      +[](sim::CameraOptions& o) { o.modelName = std::string(17, 'x'); }}) {
    sim::CameraOptions bad;
    change(bad);
    EXPECT_THROW(sim::Responder{bad}, std::invalid_argument);
  }
}

// Faults: what the camera sends for an ENQ and a read command.
struct FaultCase {
  const char* name;
  sim::Fault fault;
  // Answers to: ENQ + read frame, then ACK, for three commands.
  std::vector<Bytes> answers;
};

Bytes Reply(const std::string& digits, const std::string& checksum) {
  return Cat(Cat({0x02}, B(digits)), Cat({0x03}, B(checksum)));
}

// A reply frame carrying `characters`, with its right checksum.
Bytes ReplyOf(const std::string& characters) {
  unsigned sum = 0x02 + 0x03;
  for (char c : characters) sum += static_cast<std::uint8_t>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", (sum & 0xFF) ^ 0xFF);
  return Reply(characters, digits);
}

TEST(ResponderTest, InjectsEachFaultKindCountedAndDelayed) {
  // Reading 0x11 of a KESTRA-P/S (834): 034200, checksum D1.
  const Bytes good = Cat({0x06, 0x06}, Reply("034200", "D1"));
  const Bytes lower = Cat({0x06, 0x06}, Reply("034200", "d1"));
  const Bytes badSum = Cat({0x06, 0x06}, Reply("034200", "D2"));
  const Bytes badValue = Cat({0x06, 0x06}, ReplyOf("GHIJKL"));
  const Bytes nulValue = Cat({0x06, 0x06}, ReplyOf(std::string("AB\0DEF", 6)));
  const Bytes garbage =
      Cat(Cat({0x06, 0x06}, Bytes(std::begin(sim::kGarbageBytes), std::end(sim::kGarbageBytes))),
          Reply("034200", "D1"));
  using K = sim::FaultKind;
  const FaultCase cases[] = {
      {"enq-nak once after one", {K::kEnqNak, 1, 1}, {good, {0x15}, good}},
      {"enq-silent always after two", {K::kEnqSilent, -1, 2}, {good, good, {}}},
      {"frame-no-ack twice", {K::kFrameNoAck, 2, 0}, {{0x06}, {0x06}, good}},
      {"bad-checksum once", {K::kBadChecksum, 1, 0}, {badSum, good, good}},
      {"lower-checksum after one", {K::kLowerChecksum, -1, 1}, {good, lower, lower}},
      {"bad-value once after two", {K::kBadValue, 1, 2}, {good, good, badValue}},
      {"nul-value once", {K::kNulValue, 1, 0}, {nulValue, good, good}},
      {"garbage always", {K::kGarbage, -1, 0}, {garbage, garbage, garbage}},
      {"reply-silent once after one", {K::kReplySilent, 1, 1}, {good, {0x06, 0x06}, good}},
      {"reply-cut once", {K::kReplyCut, 1, 0}, {Bytes(good.begin(), good.begin() + 6), good, good}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim::CameraOptions options;
    options.faults = {c.fault};
    Camera camera(options);
    for (const auto& expected : c.answers) {
      EXPECT_EQ(Camera::Hex(camera.Command("01FF8111000000")), Camera::Hex(expected));
      camera.Send({0x06});
      camera.now += 5'000'000;  // the PC's time-out before its next attempt
    }
  }
}

TEST(ResponderTest, AfterACutOrSilentReplyTheNextCommandIsServed) {
  using K = sim::FaultKind;
  for (const K kind : {K::kReplyCut, K::kReplySilent}) {
    sim::CameraOptions options;
    options.faults = {{kind, 1, 0}};
    Camera camera(options);
    camera.Command("01FF8111000000");
    // The PC times out and sends the command again; NAK and ACK are not owed.
    camera.now += 9'000'000;
    EXPECT_EQ(camera.Read("01FF8111000000"), "034200");
    EXPECT_EQ(camera.responder.ReceivedBodies().size(), 2u);
  }
}

TEST(ResponderTest, HangupClosesTheLineAfterServedFrames) {
  sim::CameraOptions options;
  options.faults = {{sim::FaultKind::kHangup, 1, 1}};
  Camera camera(options);
  EXPECT_EQ(camera.Command("01FF010C000100"), Bytes({0x06, 0x06}));
  EXPECT_FALSE(camera.responder.HungUp());
  EXPECT_EQ(camera.Send({0x05}), Bytes{});
  EXPECT_TRUE(camera.responder.HungUp());
}

TEST(ResponderTest, FaultAddedLaterCountsFromThen) {
  Camera camera;
  camera.Command("01FF010C000100");
  camera.Command("01FF010C000100");
  camera.responder.AddFault({sim::FaultKind::kEnqNak, 1, 1});
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
  camera.Send(Frame("01FF010C000100"));
  EXPECT_EQ(camera.Send({0x05}), kNakOnly);
  camera.Send(Frame("01FF010C000100"));  // not after a handshake: ignored
  EXPECT_EQ(camera.Send({0x05}), kAckOnly);
}

}  // namespace
