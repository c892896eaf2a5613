#include "model/identification_text.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/support/recording_table.h"

namespace tavrel {
namespace {

TEST(IdentificationTextTest, VariableLengthTextsEndWhereTheValuesSay) {
  struct Case {
    std::vector<std::int32_t> values;
    std::string text;
  };
  const Case cases[] = {
      {{0x4241, 0x0041, 0x4343}, "ABA"},  // a value below 256 ends the text
      {{0x4241, 0x4100, 0x4343}, "AB"},   // a zero low byte ends it before
      {{0x0000, 0x4241}, ""},             // empty from the first entry
      {{0x4241, 0x4443, 0x4645, 0x4847, 0x4A49, 0x4C4B, 0x4E4D, 0x504F},
       "ABCDEFGHIJKLMNOP"},       // 16 characters, no terminator
      {{0x10041, 0x0042}, "AB"},  // a zero high byte drops only itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(UnpackText(c.values), c.text);
  }
}

TEST(IdentificationTextTest, SerialNumberPacksFourValuesAndBack) {
  const std::vector<std::int32_t> packed = PackText("0012345");
  EXPECT_EQ(packed, (std::vector<std::int32_t>{12336, 12849, 13363, 53}));
  const std::array<std::int32_t, 4> values{12336, 12849, 13363, 53};
  EXPECT_EQ(UnpackSerialNumber(values), "0012345");
  // The serial number has no early end; only zero characters are dropped.
  const std::array<std::int32_t, 4> gaps{0x3100, 0x0032, 0x3433, 0};
  EXPECT_EQ(UnpackSerialNumber(gaps), "234");
}

TEST(IdentificationTextTest, VersionIsFourDottedCharactersEndingAtAZero) {
  EXPECT_EQ(UnpackVersion(0x3031, 0x3332), "1.0.2.3");
  EXPECT_EQ(UnpackVersion(0x3031, 0x0032), "1.0.2.");
  EXPECT_EQ(UnpackVersion(0, 0x3332), "");
}

TEST(IdentificationTextTest, TextsComeFromTheirEntryGroups) {
  testing::RecordingTable table;
  table.InitTable();
  const std::vector<std::int32_t> vendor = PackText("TALBROOK");
  for (std::size_t i = 0; i < vendor.size(); ++i) {
    table.SetValue(kVendorNameFirst + static_cast<int>(i), vendor[i], false);
  }
  const std::vector<std::int32_t> model = PackText("KESTRA-P");
  for (std::size_t i = 0; i < model.size(); ++i) {
    table.SetValue(kModelNameFirst + static_cast<int>(i), model[i], false);
  }
  const std::vector<std::int32_t> serial = PackText("7654321");
  for (std::size_t i = 0; i < serial.size(); ++i) {
    table.SetValue(kSerialNumberFirst + static_cast<int>(i), serial[i], false);
  }
  table.SetValue(kVersionFirst, 0x3231, false);
  table.SetValue(kVersionLast, 0x3433, false);

  EXPECT_EQ(VendorNameOf(table), "TALBROOK");
  EXPECT_EQ(ModelNameOf(table), "KESTRA-P");
  EXPECT_EQ(SerialNumberOf(table), "7654321");
  EXPECT_EQ(VersionOf(table), "1.2.3.4");
  EXPECT_EQ(UnpackIdentification(table).serialNumber, "7654321");
}

}  // namespace
}  // namespace tavrel
