// Plays arbitrary bytes as the camera's side of the line: the reply-frame
// check and a whole register read over them must never crash or accept a
// value the frame could not carry.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "fuzz/scripted_line.h"
#include "link/comm_port.h"

namespace {

using fuzz::Require;
using fuzz::ScriptedLine;

// Entry ranges and command bytes the program really uses.
constexpr std::int32_t kRanges[][2] = {{0, 1}, {0, 462}, {0, 65535}, {1, 1236}, {0, 70000}};
constexpr std::int32_t kReadCommands[] = {0x81, 0x90, 0x82, 0x85};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tavrel::CommPort port;
  const auto length = static_cast<std::int32_t>(std::min<std::size_t>(size, 64));
  const std::int32_t check = port.CheckReply(data, length);
  Require(check == 0 || (check <= -21 && check >= -25));
  if (size == tavrel::kReplyFrameLength && check == 0) {
    Require(data[0] == tavrel::kStx && data[7] == tavrel::kEtx);
  }

  if (size < 1) return 0;
  const std::uint8_t selector = data[0];
  const auto& range = kRanges[selector % std::size(kRanges)];
  const std::int32_t h3 = kReadCommands[(selector / 8) % std::size(kReadCommands)];
  port.AttachTransport(std::make_unique<ScriptedLine>(data + 1, size - 1), 1, 9600);
  std::int32_t value = -1;
  const std::int32_t result = port.ReadValue(0x01, 0xFF, h3, selector, range[0], range[1], &value);
  if (result < 0) {
    Require(value == 0);
    Require(-result == port.GetErrorCode() && port.GetErrorCode() > 0);
  } else {
    Require(result == 0);
    Require(value >= 0 && value < (1 << 24));
  }
  return 0;
}
