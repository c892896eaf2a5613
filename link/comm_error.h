// The link error code shared by the transport, the message protocol and the
// parameter transfers.
#pragma once

#include <cstdint>
#include <string>

namespace tavrel {

// Highest link error code that has a text of its own.
inline constexpr std::int32_t kLastErrorCode = 27;

// Code passed to SetError by a step whose lower step already recorded the
// reason: "fail with what is recorded".
inline constexpr std::int32_t kKeepStoredCode = 1;

class CommError {
 public:
  CommError() = default;
  virtual ~CommError();

  // Records `newCode` (unless it is kKeepStoredCode) and returns the value the
  // failing operation returns: the recorded code, negated. Always negative.
  std::int32_t SetError(std::int32_t newCode);

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
