// The camera message protocol's frames as pure functions over bytes: command
// bodies, command frames, the checksum, reply-frame checks and value decoding.
// No line, no state: the exchange that uses them is CommPort's.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "link/link_code.h"

namespace tavrel {

// Control characters of the camera protocol.
inline constexpr std::uint8_t kEnq = 0x05;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;

// Longest command body the protocol sends (characters).
inline constexpr int kMaxBodyLength = 22;
// Size of the caller buffers for a formatted body or a reply (characters).
inline constexpr int kMessageBufferSize = 28;
// Length of a reply frame: STX, six value digits, ETX, two checksum digits.
inline constexpr int kReplyFrameLength = 10;
// Value characters in a reply frame.
inline constexpr int kReplyValueLength = 6;

namespace framing {

// A hexadecimal digit of a message: 0 to 9, A to F or a to f, whatever the
// locale says.
constexpr bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
// Every character of `text` is one (true for an empty text).
bool IsHexText(std::string_view text);

// One's complement of the low 8 bits of the bytes' sum.
std::uint8_t Checksum(const std::uint8_t* bytes, std::int32_t count);

// True when every character of `text` is a hexadecimal digit (either case).
bool IsHexText(std::string_view text);

// The number written by `count` hexadecimal digits (either case). Does no
// checking: callers test the characters first.
std::int32_t HexToInt(const char* text, std::int32_t count);

// Settings registers (H3 0x01 and 0x81) carry their value most significant
// byte first over as many bytes as the entry's range needs; every other
// command carries it unchanged.
std::int32_t OrderValueBytes(std::int32_t h3, std::int32_t minimum, std::int32_t maximum,
                             std::int32_t value);

// Writes the 14-character body (header bytes, then the three value bytes V0
// V1 V2) into `buffer` (at least kMessageBufferSize characters); returns it.
char* FormatCommand(char* buffer, std::int32_t h1, std::int32_t h2, std::int32_t h3,
                    std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                    std::int32_t value);

// STX, body, ETX and two upper-case checksum digits.
struct CommandFrame {
  std::uint8_t bytes[kMaxBodyLength + 4];
  std::int32_t length;
};
// `body` must be at most kMaxBodyLength characters.
CommandFrame BuildCommandFrame(std::string_view body);

// The code a reply frame fails with (length, STX, ETX, checksum digits,
// checksum, tested in that order), or LinkCode::kNoError when it passes. The
// value characters are not tested here.
LinkCode CheckReplyFrame(const std::uint8_t* frame, std::int32_t length);

// The value of a reply's six value characters, the first pair the least
// significant, before OrderValueBytes; nothing unless all six are
// hexadecimal digits.
std::optional<std::int32_t> DecodeReplyValue(const char* valueCharacters);

}  // namespace framing
}  // namespace tavrel
