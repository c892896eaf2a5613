// Numeric identifiers of the program's string table. The numbers are part of
// the program's interface (the same ids name the same texts everywhere), so
// they never change.
#pragma once

#include <cstdint>

namespace res {

using StringId = std::uint32_t;

// Document template string: seven fields separated by '\n'.
inline constexpr StringId kIdrMainFrame = 128;

// Application and framework texts.
inline constexpr StringId kIdsAppName = 57344;     // " TAVREL CONTROL"
inline constexpr StringId kIdsCompanyKey = 57346;  // "Talbrook"
inline constexpr StringId kIdsFailedToOpenDoc = 61697;
inline constexpr StringId kIdsFailedToSaveDoc = 61698;
inline constexpr StringId kIdsAskToSave = 61699;  // "Save changes to %1?"
inline constexpr StringId kIdsUnexpectedFormat = 61728;

// Camera messages.
inline constexpr StringId kIdsUploading = 62000;  // "Uploading %1 data from camera..."
inline constexpr StringId kIdsSending = 62001;    // "Sending %1 data to camera..."
inline constexpr StringId kIdsReady = 62002;
inline constexpr StringId kIdsFileTypeMismatch = 62100;
inline constexpr StringId kIdsErrorCode0 = 62101;  // codes 0..25 are 62101..62126
inline constexpr StringId kIdsErrorFormat = 62127;  // "ERROR - %1"
inline constexpr StringId kIdsErrorCode26 = 62128;
inline constexpr StringId kIdsErrorCode27 = 62129;

// Parameter names are 62200..62286 (see the parameter table).

}  // namespace res
