#include "model/serial_number.h"

#include <algorithm>
#include <cstdio>

#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/identification_text.h"
#include "model/parameter_document.h"

namespace tavrel {
namespace {

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading signed decimal number of `text`, as the C library's conversion
// reads it; magnitudes beyond the seven digits are held at a value that is
// still out of range, so a long run of digits cannot overflow.
std::int64_t LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t kCap = 10LL * kSerialNumberMaximum;
  std::int64_t value = 0;
  for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
    value = std::min(kCap, value * 10 + (text[i] - '0'));
  }
  return negative ? -value : value;
}

}  // namespace

std::int32_t UnlockSerialNumber(ParameterDocument& document) {
  const std::int32_t result = WriteAccessValue(document);
  if (result < 0) {
    if (UserPrompt* prompt = document.Camera().GetUserPrompt()) {
      ShowUnlockFailed(*prompt, false);
    }
  }
  return result;
}

SerialNumberCheck CheckSerialNumberText(std::string_view text) {
  if (text.size() != kSerialNumberLength) return SerialNumberCheck::kWrongLength;
  if (!std::all_of(text.begin(), text.end(), IsDecimalDigit)) {
    return SerialNumberCheck::kNotDecimal;
  }
  return SerialNumberCheck::kValid;
}

std::string_view SerialNumberCheckMessage(SerialNumberCheck check) {
  switch (check) {
    case SerialNumberCheck::kWrongLength:
      return "Serial number cannot be written.\nPlease input the number of seven digits. ";
    case SerialNumberCheck::kNotDecimal:
      return "Serial number cannot be written.\nPlease input the decimal number. ";
    case SerialNumberCheck::kValid:
      break;
  }
  return {};
}

std::array<std::int32_t, 4> SerialNumberEntryValues(std::string_view text) {
  const std::vector<std::int32_t> packed = PackText(std::string(text));
  std::array<std::int32_t, 4> values{};
  std::copy_n(packed.begin(), std::min(packed.size(), values.size()), values.begin());
  return values;
}

std::int32_t WriteSerialNumberEntries(ParameterDocument& document, std::string_view text) {
  const std::array<std::int32_t, 4> values = SerialNumberEntryValues(text);
  for (int i = 0; i < 4; ++i) {
    const std::int32_t result = document.WriteParameter(kSerialNumberFirst + i, values[i]);
    if (result < 0) return result;
  }
  return 0;
}

std::int32_t SerialNumberValue(std::string_view text) {
  return static_cast<std::int32_t>(LeadingNumber(text));
}

std::string StepSerialNumberText(std::string_view text, bool up) {
  std::int64_t value = LeadingNumber(text) + (up ? 1 : -1);
  if (value < 0 || value > kSerialNumberMaximum) value = 0;
  char formatted[16];
  std::snprintf(formatted, sizeof formatted, "%07d", static_cast<int>(value));
  return formatted;
}

}  // namespace tavrel
