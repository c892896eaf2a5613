// The program's own message boxes: captioned with its name, " TAVREL CONTROL"
// (leading blank), as every box shown through the framework is. Boxes with a
// caption of their own ("TAVREL", "Serial Number", the board's open error)
// build their request themselves.
#pragma once

#include <string>

#include "link/user_prompt.h"

namespace tavrel {

MessageRequest ProgramMessage(std::string text, MessageIcon icon = MessageIcon::kNone,
                              MessageButtons buttons = MessageButtons::kOk);

}  // namespace tavrel
