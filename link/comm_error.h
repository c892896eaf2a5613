// The link error code shared by the transport, the message protocol and the
// parameter transfers.
#pragma once

#include <cstdint>
#include <string>

#include "link/link_code.h"

namespace tavrel {

// Code passed to SetError by a step whose lower step already recorded the
// reason: "fail with what is recorded".
inline constexpr std::int32_t kKeepStoredCode =
    static_cast<std::int32_t>(LinkCode::kKeepStoredCode);

class CommError {
 public:
  CommError() = default;
  virtual ~CommError();

  // Records `newCode` (unless it is kKeepStoredCode) and returns the value the
  // failing operation returns: the recorded code, negated. Always negative.
  std::int32_t SetError(std::int32_t newCode);
  std::int32_t SetError(LinkCode newCode) { return SetError(static_cast<std::int32_t>(newCode)); }

  // "ERROR - " followed by the text of the recorded code.
  std::string GetErrorText() const;

  // The last recorded failure; 0 until the first one. Never cleared.
  std::int32_t GetErrorCode() const { return code; }

 protected:
  std::int32_t code = 0;
};

// The text of one link error code (without the "ERROR - " prefix); codes
// outside 0..27 give code 1's text.
std::string ErrorCodeText(std::int32_t code);

}  // namespace tavrel
