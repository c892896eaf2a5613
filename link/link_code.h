// The link error codes, by the numbers the user knows them by: the error box
// shows each code's text, and tavrelctl and the logs quote the number.
#pragma once

#include <cstdint>

namespace tavrel {

enum class LinkCode : std::int32_t {
  kNoError = 0,
  // Not a code of its own: "fail with the code already recorded". Shown as
  // the software-error text when nothing was recorded before.
  kKeepStoredCode = 1,

  // Opening and using the port.
  kPortNumberInvalid = 2,  // COM port number above 10
  kPortNotOpened = 3,      // read, write or purge with no COM port open
  kPortOpenFailed = 4,     // the device or the board library cannot be opened
  kTimeOut = 5,            // deadline passed, or a failure with no line error flagged
  kBadByteCount = 6,       // read or write of 0 bytes or fewer
  kPurgeFailed = 8,

  // Line errors the serial driver flagged (see LineErrorCode).
  kLineBreak = 9,
  kFramingError = 10,
  kLineIoError = 11,
  kLineModeError = 12,
  kCharacterOverrun = 13,
  kReceiveBufferFull = 14,
  kParityError = 15,
  kTransmitBufferFull = 16,
  kDeviceNotSelected = 17,
  kDeviceTimeOut = 18,
  kOutOfPaper = 19,

  // The camera's answers.
  kUnexpectedCharacter = 20,  // something other than ACK where ACK was awaited
  kBadReplyLength = 21,
  kReplyWithoutStx = 22,
  kReplyWithoutEtx = 23,
  kInvalidCharacter = 24,  // checksum or value characters that are not hexadecimal
  kChecksumMismatch = 25,
  kBodyTooLong = 26,  // a command body of 23 characters or more

  // Codes 7 and 27 have texts but nothing records them.
};

// Highest link error code that has a text of its own.
inline constexpr std::int32_t kLastErrorCode = 27;

// What an operation that failed with `code` returns: the code, negated.
constexpr std::int32_t LinkFailure(LinkCode code) {
  return -static_cast<std::int32_t>(code);
}

}  // namespace tavrel
