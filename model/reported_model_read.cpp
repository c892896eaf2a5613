#include "model/reported_model_read.h"

#include <cstdint>
#include <vector>

#include "model/identification_text.h"
#include "model/parameter_table.h"

namespace tavrel {
namespace {

constexpr std::int32_t kTransferHeader = 0x01;
constexpr std::int32_t kFixedHeader = 0xFF;

// Whether the whole-camera read goes on past the last model-name entry: it
// stops at the first entry without the read flag.
bool ReadAllReachesModelName(const ParameterTable& table) {
  for (int index = 0; index <= kModelNameLast; ++index) {
    if ((table.GetEntry(index).flags & kFlagRead) == 0) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadReportedModelName(ParameterTable& table) {
  std::vector<std::int32_t> values;
  for (int index = kModelNameFirst; index <= kModelNameLast; ++index) {
    const ParameterEntry& entry = table.GetEntry(index);
    std::int32_t received = 0;
    if (table.ReadValue(kTransferHeader, kFixedHeader, entry.readCommand, entry.address,
                        entry.minimum, entry.maximum, &received) < 0) {
      return std::nullopt;
    }
    const std::int32_t value = table.FromCamera(index, received);
    values.push_back(value);
    if ((value & 0xFF) == 0 || value < 256) break;
  }
  return UnpackText(values);
}

std::optional<std::string> ReportedModelNameAfterReadAll(ParameterTable& table) {
  if (ReadAllReachesModelName(table)) return ModelNameOf(table);
  return ReadReportedModelName(table);
}

}  // namespace tavrel
