#include "model/line_frames.h"

#include <cstdio>
#include <string_view>

#include "link/framing.h"

namespace tavrel {
namespace {

const char* ControlName(std::uint8_t byte) {
  switch (byte) {
    case kEnq:
      return "ENQ";
    case kAck:
      return "ACK";
    case kNak:
      return "NAK";
    case kStx:
      return "STX";
    case kEtx:
      return "ETX";
    default:
      return nullptr;
  }
}

std::string Hex(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

bool IsHexDigit(std::uint8_t byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') ||
         (byte >= 'a' && byte <= 'f');
}

LineToken Frame(const std::uint8_t* bytes, std::size_t count, LineToken::Check check,
                std::uint8_t expected) {
  LineToken token;
  token.kind = LineToken::Kind::kFrame;
  token.frame.assign(reinterpret_cast<const char*>(bytes), count);
  token.check = check;
  token.expectedSum = expected;
  return token;
}

// The checksum characters at `sum` (two of them) against the bytes before.
LineToken::Check CheckSum(const std::uint8_t* frame, std::size_t sum, std::uint8_t* expected) {
  *expected = framing::Checksum(frame, static_cast<std::int32_t>(sum));
  if (!IsHexDigit(frame[sum]) || !IsHexDigit(frame[sum + 1])) return LineToken::Check::kSumNotHex;
  const auto given =
      static_cast<std::uint8_t>(framing::HexToInt(reinterpret_cast<const char*>(frame + sum), 2));
  return given == *expected ? LineToken::Check::kSumRight : LineToken::Check::kSumWrong;
}

// A command frame from `at` (its STX): to two characters after its ETX.
std::size_t TakeCommandFrame(const std::uint8_t* bytes, std::size_t count, std::size_t at,
                             std::vector<LineToken>& tokens) {
  std::size_t etx = at + 1;
  while (etx < count && bytes[etx] != kEtx) ++etx;
  if (etx + 3 > count) {
    // No ETX, or too few checksum characters behind it.
    tokens.push_back(Frame(bytes + at, count - at, LineToken::Check::kCutOff, 0));
    return count;
  }
  std::uint8_t expected = 0;
  const LineToken::Check check = CheckSum(bytes + at, etx + 1 - at, &expected);
  tokens.push_back(Frame(bytes + at, etx + 3 - at, check, expected));
  return etx + 3;
}

// A reply frame from `at`: ten bytes, checked as the program checks them.
std::size_t TakeReplyFrame(const std::uint8_t* bytes, std::size_t count, std::size_t at,
                           std::vector<LineToken>& tokens) {
  const std::size_t length = static_cast<std::size_t>(kReplyFrameLength);
  if (count - at < length) {
    tokens.push_back(Frame(bytes + at, count - at, LineToken::Check::kCutOff, 0));
    return count;
  }
  const std::uint8_t* frame = bytes + at;
  std::uint8_t expected = framing::Checksum(frame, length - 2);
  LineToken::Check check = LineToken::Check::kSumRight;
  switch (framing::CheckReplyFrame(frame, static_cast<std::int32_t>(length))) {
    case LinkCode::kReplyWithoutEtx:
      check = LineToken::Check::kNoEtx;
      break;
    case LinkCode::kInvalidCharacter:
      check = LineToken::Check::kSumNotHex;
      break;
    case LinkCode::kChecksumMismatch:
      check = LineToken::Check::kSumWrong;
      break;
    default:
      break;
  }
  tokens.push_back(Frame(frame, length, check, expected));
  return at + length;
}

}  // namespace

std::string ShownCharacters(std::string_view characters) {
  std::string text;
  for (char c : characters) {
    const auto byte = static_cast<std::uint8_t>(c);
    text += byte >= 0x20 && byte < 0x7F ? std::string(1, c) : "<" + Hex(byte) + ">";
  }
  return text;
}

std::string LineToken::Body() const {
  if (kind != Kind::kFrame || frame.empty()) return {};
  switch (check) {
    case Check::kCutOff:
      return frame.substr(1);
    case Check::kNoEtx:
      // Only reply frames: the value characters, where ETX should follow.
      return frame.substr(1, static_cast<std::size_t>(kReplyValueLength));
    default:
      // ETX and the two checksum characters end the frame.
      return frame.substr(1, frame.size() - 4);
  }
}

std::vector<LineToken> SplitLineRun(TraceDirection direction, const std::uint8_t* bytes,
                                    std::size_t count) {
  std::vector<LineToken> tokens;
  std::size_t at = 0;
  while (at < count) {
    const std::uint8_t byte = bytes[at];
    if (byte == kStx) {
      at = direction == TraceDirection::kPcToCamera ? TakeCommandFrame(bytes, count, at, tokens)
                                                    : TakeReplyFrame(bytes, count, at, tokens);
      continue;
    }
    LineToken token;
    token.kind = ControlName(byte) != nullptr ? LineToken::Kind::kControl : LineToken::Kind::kByte;
    token.byte = byte;
    tokens.push_back(token);
    ++at;
  }
  return tokens;
}

std::string DescribeLineToken(const LineToken& token) {
  switch (token.kind) {
    case LineToken::Kind::kControl:
      return ControlName(token.byte);
    case LineToken::Kind::kByte:
      return Hex(token.byte);
    case LineToken::Kind::kFrame:
      break;
  }
  const std::string& frame = token.frame;
  switch (token.check) {
    case LineToken::Check::kCutOff:
      return "STX " + ShownCharacters(std::string_view(frame).substr(1)) + " (cut off)";
    case LineToken::Check::kNoEtx:
      // The byte where ETX belongs, then the checksum characters.
      return "STX " + ShownCharacters(std::string_view(frame).substr(1, frame.size() - 3)) + " " +
             ShownCharacters(std::string_view(frame).substr(frame.size() - 2)) + " (no ETX)";
    default:
      break;
  }
  const std::string sum = ShownCharacters(std::string_view(frame).substr(frame.size() - 2));
  std::string text = "STX " + ShownCharacters(token.Body()) + " ETX " + sum;
  switch (token.check) {
    case LineToken::Check::kSumRight:
      return text + " (sum ok)";
    case LineToken::Check::kSumWrong:
      return text + " (sum wrong, expected " + Hex(token.expectedSum) + ")";
    default:
      return text + " (sum not hexadecimal, expected " + Hex(token.expectedSum) + ")";
  }
}

}  // namespace tavrel
