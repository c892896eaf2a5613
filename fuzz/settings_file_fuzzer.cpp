// Feeds arbitrary bytes to the settings-file loader: it must never crash,
// allocate without bound, or report a load that does not round-trip.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/camera_unit.h"
#include "model/settings_file.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tavrel::SettingsLoadResult;
  const std::span<const std::uint8_t> bytes(data, size);

  const tavrel::DecodedSettings decoded = tavrel::DecodeSettings(bytes);
  switch (decoded.result) {
    case SettingsLoadResult::kLoaded:
      Require(decoded.values.size() == tavrel::kParameterCount);
      break;
    case SettingsLoadResult::kUnexpectedFormat:
      Require(decoded.values.size() < tavrel::kParameterCount);
      break;
    case SettingsLoadResult::kEmpty:
      Require(size == 0 && decoded.values.empty());
      break;
    case SettingsLoadResult::kHeaderMismatch:
      Require(decoded.values.empty());
      break;
    case SettingsLoadResult::kCannotRead:
      Require(false);
  }

  // The camera object has no link and no prompt: the write-all after a
  // complete load fails quietly.
  static tavrel::CameraUnit camera;
  const SettingsLoadResult result = tavrel::LoadSettings(camera, bytes, "fuzz/input.tdx");
  Require(result == decoded.result);
  if (result == SettingsLoadResult::kLoaded) {
    Require(tavrel::DecodeSettings(tavrel::EncodeSettings(camera)).values == decoded.values);
  }
  return 0;
}
