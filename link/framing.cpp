#include "link/framing.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace tavrel::framing {

bool IsHexText(std::string_view text) {
  for (const char c : text) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}

std::uint8_t Checksum(const std::uint8_t* bytes, std::int32_t count) {
  std::uint8_t sum = 0;
  for (std::int32_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return static_cast<std::uint8_t>(sum ^ 0xFF);
}

std::int32_t HexToInt(const char* text, std::int32_t count) {
  std::uint32_t value = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int digit = (c >= '0' && c <= '9') ? c - '0' : std::toupper(c) - 55;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t OrderValueBytes(std::int32_t h3, std::int32_t minimum, std::int32_t maximum,
                             std::int32_t value) {
  if (h3 != 0x01 && h3 != 0x81) return value;
  if (((minimum | maximum) & 0xFF0000) != 0) {
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  }
  if (((minimum | maximum) & 0xFF00) != 0) {
    return ((value & 0xFF) << 8) | ((value >> 8) & 0xFF);
  }
  return value;
}

char* FormatCommand(char* buffer, std::int32_t h1, std::int32_t h2, std::int32_t h3,
                    std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                    std::int32_t value) {
  std::snprintf(buffer, kMessageBufferSize, "%02X%02X%02X%02X", static_cast<unsigned>(h1 & 0xFF),
                static_cast<unsigned>(h2 & 0xFF), static_cast<unsigned>(h3 & 0xFF),
                static_cast<unsigned>(h4 & 0xFF));
  std::int32_t v = OrderValueBytes(h3, minimum, maximum, value);
  for (int k = 0; k < 3; ++k) {
    std::snprintf(buffer + 8 + 2 * k, kMessageBufferSize - 8 - 2 * k, "%02X",
                  static_cast<unsigned>(v & 0xFF));
    v /= 256;
  }
  return buffer;
}

CommandFrame BuildCommandFrame(std::string_view body) {
  CommandFrame frame{};
  const auto length = static_cast<std::int32_t>(body.size());
  frame.bytes[0] = kStx;
  std::memcpy(frame.bytes + 1, body.data(), body.size());
  frame.bytes[1 + length] = kEtx;
  char checksum[3];
  std::snprintf(checksum, sizeof checksum, "%0*X", 2,
                static_cast<unsigned>(Checksum(frame.bytes, length + 2)));
  frame.bytes[2 + length] = static_cast<std::uint8_t>(checksum[0]);
  frame.bytes[3 + length] = static_cast<std::uint8_t>(checksum[1]);
  frame.length = length + 4;
  return frame;
}

LinkCode CheckReplyFrame(const std::uint8_t* frame, std::int32_t length) {
  if (length != kReplyFrameLength) return LinkCode::kBadReplyLength;
  if (frame[0] != kStx) return LinkCode::kReplyWithoutStx;
  if (frame[7] != kEtx) return LinkCode::kReplyWithoutEtx;
  if (!IsHexDigit(static_cast<char>(frame[8])) || !IsHexDigit(static_cast<char>(frame[9])))
    return LinkCode::kInvalidCharacter;
  const std::int32_t sent = HexToInt(reinterpret_cast<const char*>(frame + 8), 2) & 0xFF;
  if (Checksum(frame, 8) != sent) return LinkCode::kChecksumMismatch;
  return LinkCode::kNoError;
}

std::optional<std::int32_t> DecodeReplyValue(const char* valueCharacters) {
  if (!IsHexText(std::string_view(valueCharacters, kReplyValueLength))) return std::nullopt;
  return HexToInt(valueCharacters, 2) + HexToInt(valueCharacters + 2, 2) * 256 +
         HexToInt(valueCharacters + 4, 2) * 65536;
}

}  // namespace tavrel::framing
