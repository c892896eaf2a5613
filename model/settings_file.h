// The settings file (.tdx): a header text, then the 129 entry values in camera
// form, each a signed 32-bit little-endian integer. 540 bytes as written.
//
// Loading stores each value as it is read and then writes the whole table to
// the camera. Saving replaces the old file only once the new one is safely on
// disk, so a failed save never costs the user the file they had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

class CameraUnit;
class ParameterTable;

inline constexpr std::string_view kSettingsHeaderText = "TAV-DX Data Version1.00";
inline constexpr std::size_t kSettingsFileSize = 540;

enum class SettingsLoadResult {
  kLoaded,            // every value stored; the table was written to the camera
  kEmpty,             // an empty file: nothing changed, nothing sent
  kHeaderMismatch,    // not a settings file: the mismatch message was shown,
                      // nothing changed, nothing sent; still counts as opened
  kUnexpectedFormat,  // the file ended early: the values read so far are
                      // kept, nothing sent ("Unexpected file format.")
  kCannotRead,        // the file could not be opened or read; see errorText
};

struct SettingsLoadOutcome {
  SettingsLoadResult result = SettingsLoadResult::kCannotRead;
  std::string errorText;  // the system's reason, for kCannotRead
};

struct SettingsSaveOutcome {
  bool saved = false;
  std::string errorText;  // the system's reason when not saved
};

// What a file holds, without touching any table.
struct DecodedSettings {
  // kLoaded stands for "complete"; kCannotRead does not occur.
  SettingsLoadResult result = SettingsLoadResult::kEmpty;
  // Camera form, entry 0 first; fewer than 129 when the file ended early, none
  // on a header mismatch.
  std::vector<std::int32_t> values;
};

DecodedSettings DecodeSettings(std::span<const std::uint8_t> bytes);

// The 540 bytes of a settings file for the table's current values.
std::vector<std::uint8_t> EncodeSettings(const ParameterTable& table);

// Loads `bytes` read from the file `filePath` (whose name, without folder,
// the mismatch message names) into the camera object's table, then writes the
// table to the camera when every value was read. Messages go through the
// camera object's UserPrompt.
SettingsLoadResult LoadSettings(CameraUnit& camera, std::span<const std::uint8_t> bytes,
                                std::string_view filePath);

// Stores decoded values as LoadSettings does and writes the table to the
// camera when the file was complete; a header mismatch is shown and changes
// nothing.
SettingsLoadResult ApplySettings(CameraUnit& camera, const DecodedSettings& decoded,
                                 std::string_view filePath);

// The reason given for a path that names neither a regular file nor a folder.
inline constexpr const char* kNotARegularFile = "Not a regular file";

// What the file at `path` holds, read as LoadSettingsFile reads it, without
// touching any table: `read` false and the system's reason when it cannot be
// read.
struct SettingsFileContents {
  bool read = false;
  DecodedSettings decoded;
  std::string errorText;
};
SettingsFileContents ReadSettingsFile(const std::string& path);

// Loads the file at `path` as LoadSettings does. Only regular files (and
// folders, which fail to read) are opened; anything else is refused with
// kNotARegularFile as the reason and kCannotRead.
SettingsLoadOutcome LoadSettingsFile(CameraUnit& camera, const std::string& path);

// Writes the table to `path` as file_replace.h describes: a file the user may
// not write is refused, links, mode and hard links are kept, and the old file
// survives a failed save wherever a temporary file can be made beside it.
SettingsSaveOutcome SaveSettingsFile(const ParameterTable& table, const std::string& path);

}  // namespace tavrel
