#include "model/reported_model.h"

#include "model/parameter_table.h"

namespace tavrel {
namespace {

std::string_view LeadingWord(std::string_view text) {
  return text.substr(0, text.find('-'));
}

}  // namespace

int CameraTypeNamedBy(std::string_view modelName) {
  const std::string_view word = LeadingWord(modelName);
  if (word.empty()) return -1;
  for (int type = 0; type < kCameraTypeCount; ++type) {
    if (word == LeadingWord(CameraModelName(type))) return type;
  }
  return -1;
}

std::string WrongModelWarning(std::string_view modelName, int chosenType) {
  const int reported = CameraTypeNamedBy(modelName);
  if (reported < 0 || reported == chosenType) return {};
  return "The camera reports " + std::string(modelName) + "; " + CameraModelName(chosenType) +
         " was chosen.";
}

std::string StartAgainQuestion(int reportedType) {
  return "Start again as " + CameraModelName(reportedType) + "?";
}

}  // namespace tavrel
