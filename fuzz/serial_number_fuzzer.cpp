// Feeds arbitrary text to the serial-number rules: only seven decimal digits
// pass the check, and they lay out over entries 43 to 46 and back unchanged;
// a step of any text gives seven digits within range.
#include <cstdint>
#include <string>

#include "fuzz/scripted_line.h"
#include "model/serial_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::Require;
  using tavrel::SerialNumberCheck;
  const std::string text(reinterpret_cast<const char*>(data), size);

  const SerialNumberCheck check = tavrel::CheckSerialNumberText(text);
  bool digits = text.size() == 7;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  Require((check == SerialNumberCheck::kValid) == digits);
  Require((check == SerialNumberCheck::kWrongLength) == (text.size() != 7));
  if (check == SerialNumberCheck::kValid) {
    const auto values = tavrel::SerialNumberEntryValues(text);
    std::string unpacked;
    for (int i = 0; i < 3; ++i) {
      unpacked += static_cast<char>(values[i] & 0xFF);
      unpacked += static_cast<char>(values[i] >> 8);
    }
    unpacked += static_cast<char>(values[3]);
    Require(unpacked == text && values[3] < 256);
    Require(tavrel::SerialNumberValue(text) == std::stoi(text));
  }

  for (const bool up : {false, true}) {
    const std::string stepped = tavrel::StepSerialNumberText(text, up);
    Require(tavrel::CheckSerialNumberText(stepped) == SerialNumberCheck::kValid);
  }
  return 0;
}
