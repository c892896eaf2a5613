#include "model/program_message.h"

#include "res/string_table.h"

namespace tavrel {

MessageRequest ProgramMessage(std::string text, MessageIcon icon, MessageButtons buttons) {
  MessageRequest request;
  request.text = std::move(text);
  request.caption = std::string(res::LoadString(res::kIdsAppName));
  request.icon = icon;
  request.buttons = buttons;
  return request;
}

}  // namespace tavrel
