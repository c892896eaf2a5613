// Reading the camera's identification texts entry by entry, as the panel's
// READ button and tavrelctl do: each name stops at its end, the serial number
// is always read whole, and the version is taken from the stored values.
#pragma once

#include "model/identification_text.h"

namespace tavrel {

class ParameterDocument;

// Reads vendor name (27..), model name (35..) and serial number (43..46)
// from the camera and returns the four texts. A failed read is already shown
// to the user; the text then goes on with the value the document holds.
Identification ReadIdentification(ParameterDocument& document);

}  // namespace tavrel
