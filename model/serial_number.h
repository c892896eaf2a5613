// The camera's serial number as the user types it: the input checks, its
// layout over the four serial-number entries, the up-down stepping rule and
// the access value that unlocks the serial-number entries for writing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/access_value.h"

namespace tavrel {

class ParameterDocument;

// Highest serial number that fits the seven digits.
inline constexpr std::int32_t kSerialNumberMaximum = 9999999;

// The unlock before a serial-number write: WriteAccessValue, and on failure
// the "not written" box (caption "TAVREL"). The caller goes on either way.
std::int32_t UnlockSerialNumber(ParameterDocument& document);

enum class SerialNumberCheck { kValid, kWrongLength, kNotDecimal };

// Exactly seven characters, each 0..9 (the length is checked first).
SerialNumberCheck CheckSerialNumberText(std::string_view text);

// The message for a failed check (both end with a blank); empty for kValid.
std::string_view SerialNumberCheckMessage(SerialNumberCheck check);

// Entry values for entries 43..46 of a valid text: two characters each, the
// first in the low byte; the last entry holds the seventh character alone.
std::array<std::int32_t, 4> SerialNumberEntryValues(std::string_view text);

// Writes entries 43..46 in order from a valid text, stopping at the first
// failure (already shown; the entries written before it stay written).
// Negative on failure, else 0.
std::int32_t WriteSerialNumberEntries(ParameterDocument& document, std::string_view text);

// The decimal value of a valid text (0012345 -> 12345).
std::int32_t SerialNumberValue(std::string_view text);

// One step of the up-down control: the text's leading signed decimal number
// (leading blanks and one sign allowed; no digits = 0), plus or minus 1, as
// "%07d"; a result outside 0..9999999 becomes 0.
std::string StepSerialNumberText(std::string_view text, bool up);

}  // namespace tavrel
