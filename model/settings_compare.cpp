#include "model/settings_compare.h"

namespace tavrel {

std::vector<SettingsDifference> CompareSettings(
    const ParameterTable& model, std::span<const std::int32_t, kParameterCount> left,
    std::span<const std::int32_t, kParameterCount> right, CompareScope scope) {
  const std::uint8_t flag = scope == CompareScope::kWritten ? kFlagWrite : kFlagRead;
  std::vector<SettingsDifference> differences;
  // The whole-table transfers stop at the first entry without their flag, so
  // the entries after it are neither loaded into the camera nor read back.
  for (int index = 0; index < kParameterCount && (model.GetEntry(index).flags & flag) != 0;
       ++index) {
    const std::int32_t leftValue = model.FromCamera(index, left[index]);
    const std::int32_t rightValue = model.FromCamera(index, right[index]);
    if (leftValue != rightValue) differences.push_back({index, leftValue, rightValue});
  }
  return differences;
}

}  // namespace tavrel
