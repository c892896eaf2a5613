// Reading and writing a settings file (.tdx) against the camera object's
// table: a header text in archive text form, then the 129 values in camera
// form, signed 32-bit little-endian.
#pragma once

#include <string>

namespace tavrel {

class ParameterTable;

enum class LoadOutcome {
  kLoaded,          // all 129 values stored
  kEmpty,           // 0 bytes: nothing read, nothing changed
  kHeaderMismatch,  // not a settings file; nothing changed
  kTruncated,       // ended early; the values read before the end are stored
  kCannotOpen,
};

// Stores every value the moment it is read.
LoadOutcome LoadSettingsFile(const std::string& path, ParameterTable& table);

// Writes to a temporary file beside `path` and renames it over `path`, so a
// failed save never leaves a half-written file. False when it cannot write.
bool SaveSettingsFile(const std::string& path, const ParameterTable& table);

}  // namespace tavrel
