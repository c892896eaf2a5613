#include "model/parameter_document.h"

#include "model/camera_unit.h"

namespace tavrel {
namespace {

bool Changed(std::int32_t result) {
  return result > 0;
}

}  // namespace

std::int32_t ParameterDocument::WriteParameter(int index, std::int32_t value) {
  const std::int32_t result = camera_.WriteParameter(index, value);
  if (Changed(result)) SetModifiedFlag(true);
  return result;
}

std::int32_t ParameterDocument::ReadParameter(int index) {
  const std::int32_t result = camera_.ReadParameter(index);
  if (Changed(result)) SetModifiedFlag(true);
  return result;
}

std::int32_t ParameterDocument::ReadAllParameters() {
  const std::int32_t result = camera_.ReadAllParameters();
  if (Changed(result)) SetModifiedFlag(true);
  return result;
}

std::int32_t ParameterDocument::WriteAllParameters() {
  return camera_.WriteAllParameters();
}

std::int32_t ParameterDocument::GetParameter(int index) const {
  return camera_.GetValue(index, false);
}

SettingsLoadOutcome ParameterDocument::LoadFromFile(const std::string& path) {
  const SettingsLoadOutcome outcome = LoadSettingsFile(camera_, path);
  if (outcome.result != SettingsLoadResult::kCannotRead) SetModifiedFlag(false);
  return outcome;
}

SettingsSaveOutcome ParameterDocument::SaveToFile(const std::string& path) {
  const SettingsSaveOutcome outcome = SaveSettingsFile(camera_, path);
  if (outcome.saved) SetModifiedFlag(false);
  return outcome;
}

}  // namespace tavrel
