#include "link/comm_error.h"

#include "res/string_table.h"

namespace tavrel {

CommError::~CommError() = default;

std::int32_t CommError::SetError(std::int32_t newCode) {
  if (newCode != kKeepStoredCode) {
    code = newCode;
  } else if (code == 0) {
    // A lower step failed without recording why. Returning -0 would read as
    // success, so record the "software error" code to keep the failure a failure.
    code = kKeepStoredCode;
  }
  return -code;
}

std::string ErrorCodeText(std::int32_t errorCode) {
  if (errorCode < 0 || errorCode > kLastErrorCode) errorCode = kKeepStoredCode;
  // The texts of codes 0 to 25 are numbered alike; 26 and 27 come after the
  // "ERROR - %1" entry.
  res::StringId id = res::kIdsErrorCode0 + static_cast<res::StringId>(errorCode);
  if (errorCode == static_cast<std::int32_t>(LinkCode::kBodyTooLong)) id = res::kIdsErrorCode26;
  if (errorCode == kLastErrorCode) id = res::kIdsErrorCode27;
  return std::string(res::LoadString(id));
}

std::string CommError::GetErrorText() const {
  return res::FormatMessage(res::kIdsErrorFormat, {ErrorCodeText(code)});
}

}  // namespace tavrel
