// The serial number's input checks, its layout over entries 43-46 and the
// up-down stepping rule.
#include "model/serial_number.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace tavrel {
namespace {

TEST(SerialNumberCheck, LengthIsCheckedBeforeTheDigits) {
  const struct {
    const char* text;
    SerialNumberCheck check;
  } rows[] = {
      {"0012345", SerialNumberCheck::kValid},      {"9999999", SerialNumberCheck::kValid},
      {"001234", SerialNumberCheck::kWrongLength}, {"00123456", SerialNumberCheck::kWrongLength},
      {"", SerialNumberCheck::kWrongLength},       {"12a456", SerialNumberCheck::kWrongLength},
      {"12a4567", SerialNumberCheck::kNotDecimal}, {" 123456", SerialNumberCheck::kNotDecimal},
      {"+123456", SerialNumberCheck::kNotDecimal}, {"123456/", SerialNumberCheck::kNotDecimal},
      {"123456:", SerialNumberCheck::kNotDecimal},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CheckSerialNumberText(row.text), row.check) << '"' << row.text << '"';
  }
}

TEST(SerialNumberCheck, MessagesEndWithABlank) {
  EXPECT_EQ(SerialNumberCheckMessage(SerialNumberCheck::kWrongLength),
            "Serial number cannot be written.\nPlease input the number of seven digits. ");
  EXPECT_EQ(SerialNumberCheckMessage(SerialNumberCheck::kNotDecimal),
            "Serial number cannot be written.\nPlease input the decimal number. ");
  EXPECT_TRUE(SerialNumberCheckMessage(SerialNumberCheck::kValid).empty());
}

TEST(SerialNumberLayout, TwoDigitsPerEntryLowByteFirstAndTheSeventhAlone) {
  EXPECT_EQ(SerialNumberEntryValues("0012345"),
            (std::array<std::int32_t, 4>{12336, 12849, 13363, 53}));
  EXPECT_EQ(SerialNumberEntryValues("9876543"),
            (std::array<std::int32_t, 4>{'9' + 256 * '8', '7' + 256 * '6', '5' + 256 * '4', '3'}));
  EXPECT_EQ(SerialNumberValue("0012345"), 12345);
  EXPECT_EQ(SerialNumberValue("9999999"), 9999999);
}

TEST(SerialNumberStep, SignedConversionThenWrapToZeroOutsideTheSevenDigits) {
  const struct {
    const char* text;
    bool up;
    const char* stepped;
  } rows[] = {
      {"0012345", true, "0012346"},
      {"0012345", false, "0012344"},
      {"9999999", true, "0000000"},   // above the range
      {"0000000", false, "0000000"},  // below it
      {"9999998", true, "9999999"},
      {"0000001", false, "0000000"},
      {"", true, "0000001"},
      {"abc", true, "0000001"},  // no digits converts to 0
      {"abc", false, "0000000"},
      {"  42", true, "0000043"},                   // leading blanks
      {"+41", true, "0000042"},                    // one sign
      {"-5", true, "0000000"},                     // -4 wraps
      {"--5", true, "0000001"},                    // a second sign is not a number
      {"12x34", true, "0000013"},                  // stops at the first other character
      {"99999999999999999999", false, "0000000"},  // far out of range, no overflow
  };
  for (const auto& row : rows) {
    EXPECT_EQ(StepSerialNumberText(row.text, row.up), row.stepped)
        << '"' << row.text << '"' << (row.up ? " up" : " down");
  }
}

}  // namespace
}  // namespace tavrel
