// The camera's access value: written to the "Password" entry before the
// serial number is written and whenever the register editor is opened.
#pragma once

#include <cstdint>

namespace tavrel {

class ParameterDocument;
class UserPrompt;

inline constexpr int kPasswordEntry = 49;
inline constexpr std::int32_t kAccessValue = 0x4A1D;

// Writes the access value through the document (an error box on failure).
// Negative on failure, as WriteParameter.
std::int32_t WriteAccessValue(ParameterDocument& document);

// The second box when the access value was refused: caption "TAVREL", OK
// only, no icon; `ownerless` for a box that belongs to no window.
void ShowUnlockFailed(UserPrompt& prompt, bool ownerless);

}  // namespace tavrel
