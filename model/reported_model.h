// Which of the seven camera models the camera says it is: the model-name text
// it reports (entries 35..42) against the model the user chose.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// The camera type (0..6) whose model a model-name text names, or -1. The
// text's leading word, up to its first "-" (or the whole text when it has
// none), must equal the model name's: "LOMIRA-S" and "LOMIRA-P/S" both name
// LOMIRA-P/S; "LOMIRAX-S", "lomira-s" and an empty text name none.
int CameraTypeNamedBy(std::string_view modelName);

// "The camera reports LOMIRA-S; KESTRA-P/S was chosen." when `modelName`
// names another of the seven models than `chosenType`; empty when it names
// none of them or the chosen one.
std::string WrongModelWarning(std::string_view modelName, int chosenType);

// The window program's offer below the warning: "Start again as LOMIRA-P/S?"
std::string StartAgainQuestion(int reportedType);

}  // namespace tavrel
