#include "model/parameter_document.h"

#include <sys/stat.h>

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
  // A document is a file on disk: a pipe or device would block the program
  // in open or read, waiting for a writer that may never come.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    SettingsLoadOutcome refused;
    refused.errorText = kNotARegularFile;
    return refused;
  }
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
