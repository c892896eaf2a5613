#include "model/access_value.h"

#include "link/user_prompt.h"
#include "model/parameter_document.h"

namespace tavrel {

std::int32_t WriteAccessValue(ParameterDocument& document) {
  return document.WriteParameter(kPasswordEntry, kAccessValue);
}

void ShowUnlockFailed(UserPrompt& prompt, bool ownerless) {
  MessageRequest request;
  request.text = "This camera is not written the Serial Number.\nPlease tell design engineer.";
  request.caption = "TAVREL";
  request.icon = MessageIcon::kNone;
  request.buttons = MessageButtons::kOk;
  request.ownerless = ownerless;
  prompt.ShowMessage(request);
}

}  // namespace tavrel
