// The bytes of one exchange, one way, as the line monitor names them: control
// characters by name, frames as STX, body, ETX and checksum with the checksum
// checked, any other byte in hex. Pure functions over bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/line_trace.h"

namespace tavrel {

struct LineToken {
  enum class Kind { kControl, kFrame, kByte };
  // What a frame's check found.
  enum class Check { kSumRight, kSumWrong, kSumNotHex, kNoEtx, kCutOff };

  Kind kind = Kind::kByte;
  std::uint8_t byte = 0;  // a control character or another byte
  std::string frame;      // a frame's bytes, from its STX
  Check check = Check::kSumRight;
  std::uint8_t expectedSum = 0;  // what a frame's checksum should be

  // A frame's characters between STX and ETX (to where it was cut off).
  std::string Body() const;
  bool IsControl(std::uint8_t control) const { return kind == Kind::kControl && byte == control; }
};

// Splits one run of bytes that went one way while the other side said
// nothing (a frame never spans two runs). The PC's frames end two characters
// after their ETX; a camera frame is a reply frame of ten bytes, checked as
// the program checks it.
std::vector<LineToken> SplitLineRun(TraceDirection direction, const std::uint8_t* bytes,
                                    std::size_t count);

// Printable characters as they are, every other byte as <XX>.
std::string ShownCharacters(std::string_view characters);

// "ENQ", "STX 01FF010A006400 ETX 3C (sum ok)", "47". Characters other than
// printable ones are shown as <XX>.
std::string DescribeLineToken(const LineToken& token);

}  // namespace tavrel
