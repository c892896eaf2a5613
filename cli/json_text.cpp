#include "cli/json_text.h"

#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace tavrel::cli {
namespace {

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0 when
// its first byte starts none (overlong forms and surrogates are not valid).
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80;  // the bounds of the second byte
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string JsonText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    if (bytes.front() == '\\') {
      text += "\\\\";
      bytes.remove_prefix(1);
      continue;
    }
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X",
                    static_cast<unsigned>(static_cast<std::uint8_t>(bytes.front())));
      text += escaped;
      bytes.remove_prefix(1);
      continue;
    }
    text.append(bytes.substr(0, length));
    bytes.remove_prefix(length);
  }
  return text;
}

std::string JsonDump(const nlohmann::json& value) {
  return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace tavrel::cli
