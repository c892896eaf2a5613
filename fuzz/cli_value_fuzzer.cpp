// Feeds arbitrary text to tavrelctl's reading of an entry and a value: a
// number read is a 32-bit value that reads the same when written in decimal,
// and an entry is either one index 0 to 128 or a reason why not.
#include <cstdint>
#include <string>

#include "cli/entry_lookup.h"
#include "fuzz/scripted_line.h"
#include "model/camera_unit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::Require;
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const auto value = tavrel::cli::ParseInteger(text);
  if (value) Require(tavrel::cli::ParseInteger(std::to_string(*value)) == value);

  static tavrel::CameraUnit tables[tavrel::kCameraTypeCount];
  static const bool ready = [] {
    for (int type = 0; type < tavrel::kCameraTypeCount; ++type) {
      tavrel::cameraType = type;
      tables[type].InitTable();
    }
    return true;
  }();
  Require(ready);
  const tavrel::cli::EntryLookup lookup =
      tavrel::cli::FindEntry(tables[data[0] % tavrel::kCameraTypeCount], text);
  if (lookup.index) {
    Require(*lookup.index >= 0 && *lookup.index < tavrel::kParameterCount && lookup.error.empty());
  } else {
    Require(!lookup.error.empty());
  }
  return 0;
}
