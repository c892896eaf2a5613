#include "model/handed_file_message.h"

#include <cstdint>

namespace tavrel {
namespace {

bool IsBlankOrControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' || byte == 0x7F;
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

std::optional<std::string> HandedFileRequest(std::string_view path) {
  std::string request(path);
  request += '\n';
  if (HandedFilePath(request) != path) return std::nullopt;
  return request;
}

std::optional<std::string> HandedFilePath(std::string_view line) {
  while (!line.empty() && IsBlankOrControl(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlankOrControl(line.back())) line.remove_suffix(1);
  if (line.empty() || line.find_first_of(std::string_view("\0\n", 2)) != std::string_view::npos ||
      !IsUtf8(line)) {
    return std::nullopt;
  }
  return std::string(line);
}

bool IsHandedFileTaken(std::string_view answer) {
  return answer.substr(0, 2) == kHandedFileTaken.substr(0, 2);
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++at;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - at < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[at + k]);
      if (!IsContinuation(byte)) return false;
      code = (code << 6) | (byte & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return false;
    at += length;
  }
  return true;
}

}  // namespace tavrel
