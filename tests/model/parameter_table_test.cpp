#include "model/parameter_table.h"

#include <gtest/gtest.h>

#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_table.h"

namespace tavrel {
namespace {

using testing::CameraTypeScope;
using testing::RecordingTable;

RecordingTable TableFor(int type) {
  CameraTypeScope scope(type);
  RecordingTable table;
  table.InitTable();
  for (int index = 0; index < kParameterCount; ++index) table.ResetValue(index);
  return table;
}

struct ModelRow {
  int type;
  const char* model;
  std::int32_t gainMax;
  std::int32_t blackDefault;
  std::int32_t blackMax;
  std::int32_t shutter;  // entry 15 default and maximum
  bool accelerated;      // entry 17 in use
  std::int32_t scanStartMax;
  std::int32_t scanEnd;  // entry 26 default and maximum
};

constexpr ModelRow kModels[] = {
    {0, "LOMIRA-P/S", 462, 25, 31, 929, false, 1236, 1236},
    {1, "PAVON-P/S", 462, 25, 31, 818, false, 768, 768},
    {2, "SOVELI-P/S", 462, 25, 31, 787, false, 494, 494},
    {3, "RINDAL-P/S", 462, 25, 31, 770, false, 494, 494},
    {4, "KESTRA-P/S", 336, 0, 32, 834, true, 1236, 1236},
    {5, "QUESSA-P/S", 336, 0, 32, 720, true, 494, 494},
    {6, "TEMBRA-P/S", 336, 0, 32, 787, true, 494, 494},
};

TEST(ParameterTableTest, EachModelSetsItsOwnEntries) {
  for (const ModelRow& row : kModels) {
    SCOPED_TRACE(row.model);
    EXPECT_EQ(CameraModelName(row.type), row.model);
    EXPECT_EQ(CameraTypeFromName(row.model), row.type);
    const RecordingTable table = TableFor(row.type);

    EXPECT_EQ(table.GetMaximum(10, false), row.gainMax);
    EXPECT_EQ(table.GetDefault(12, false), row.blackDefault);
    EXPECT_EQ(table.GetMaximum(12, false), row.blackMax);
    EXPECT_EQ(table.GetDefault(15, false), row.shutter);
    EXPECT_EQ(table.GetMaximum(15, false), row.shutter);
    EXPECT_EQ(table.GetMaximum(25, false), row.scanStartMax);
    EXPECT_EQ(table.GetDefault(26, false), row.scanEnd);
    EXPECT_EQ(table.GetMaximum(26, false), row.scanEnd);
    // Values start from the model's defaults.
    EXPECT_EQ(table.GetValue(12, false), row.blackDefault);
    EXPECT_EQ(table.GetValue(26, false), row.scanEnd);

    const ParameterEntry& accelerated = table.GetEntry(17);
    if (row.accelerated) {
      EXPECT_EQ(accelerated.flags, 3);
      EXPECT_EQ(accelerated.readCommand, 0x81);
      EXPECT_EQ(accelerated.writeCommand, 0x01);
      EXPECT_EQ(accelerated.address, 0x13);
      EXPECT_EQ(accelerated.maximum, 1);
      EXPECT_EQ(table.GetName(17), "Accelrated ON/OFF");
    } else {
      EXPECT_EQ(accelerated.flags, 0);
      EXPECT_EQ(accelerated.address, 0);
      EXPECT_EQ(accelerated.maximum, 0);
      EXPECT_EQ(accelerated.nameId, 0u);
      EXPECT_EQ(table.GetName(17), "");
    }
    // Entries every model shares.
    EXPECT_EQ(table.GetMaximum(11, false), 1023);
    EXPECT_EQ(table.GetMinimum(25, false), 1);
  }
  EXPECT_EQ(CameraModelName(7), "");
  EXPECT_EQ(CameraTypeFromName("kestra-p/s"), -1);
}

struct BaseRow {
  int index;
  std::uint8_t flags, readCommand, writeCommand, address;
  std::int32_t defaultValue, minimum, maximum;
  const char* name;
};

TEST(ParameterTableTest, BaseEntries) {
  // Every row of the LOMIRA-P/S table, the one the other models start from.
  constexpr BaseRow kRows[] = {
      {0, 3, 0x81, 0x01, 0x06, 1, 0, 1, "AGC MODE"},
      {1, 3, 0x81, 0x01, 0x08, 0, 0, 255, "SHUTTER SPEED"},
      {2, 3, 0x81, 0x01, 0x04, 0, 0, 4, "TRIGGER MODE"},
      {3, 3, 0x81, 0x01, 0x0F, 0, 0, 1, "TRIGGER POLARITY"},
      {4, 3, 0x81, 0x01, 0x10, 0, 0, 1, "TRIGGER POLARITY"},
      {5, 3, 0x81, 0x01, 0x02, 1, 0, 1, "HD RESET"},
      {6, 3, 0x81, 0x01, 0x14, 1, 0, 1, "DATA BIT"},
      {7, 3, 0x81, 0x01, 0x06, 0, 0, 15, "AD CLK"},
      {8, 3, 0x81, 0x01, 0x07, 0, 0, 15, "SHP"},
      {9, 3, 0x81, 0x01, 0x08, 0, 0, 15, "SHD"},
      {10, 3, 0x81, 0x01, 0x0C, 0, 0, 462, "GAIN"},
      {11, 3, 0x81, 0x01, 0x1C, 0, 0, 1023, "Adjust GAIN"},
      {12, 3, 0x81, 0x01, 0x17, 25, 0, 31, "BLACK LEVEL"},
      {13, 3, 0x81, 0x01, 0x00, 0, 0, 7, "GAIN CONT"},
      {14, 3, 0x81, 0x01, 0x05, 1, 0, 1, "CLK PHASE ON/OFF"},
      {15, 3, 0x81, 0x01, 0x11, 929, 0, 929, "Programable Shutter"},
      {16, 3, 0x81, 0x01, 0x19, 5, 0, 26, ""},
      {17, 0, 0x00, 0x00, 0x00, 0, 0, 0, ""},
      {18, 3, 0x81, 0x01, 0x0A, 7, 0, 15, "CLK PHASE"},
      {19, 3, 0x81, 0x01, 0x00, 0, 0, 15, "H1"},
      {20, 3, 0x81, 0x01, 0x00, 0, 0, 15, "H2"},
      {21, 3, 0x81, 0x01, 0x15, 0, 0, 1, "VD FVAL"},
      {22, 3, 0x81, 0x01, 0x16, 0, 0, 1, "HD/LVAL"},
      {23, 3, 0x81, 0x01, 0x00, 0, 0, 1, "Back Up"},
      {24, 3, 0x81, 0x01, 0x1E, 0, 0, 1, "Partial Scan ON/OFF"},
      {25, 3, 0x81, 0x01, 0x1F, 1, 1, 1236, "Partial Scan Start"},
      {26, 3, 0x81, 0x01, 0x20, 1236, 1, 1236, "Partial Scan End"},
      {27, 2, 0x90, 0x10, 0x00, 0, 0, 65535, "Vendor Name"},
      {28, 2, 0x90, 0x10, 0x01, 0, 0, 65535, "Vendor Name"},
      {29, 2, 0x90, 0x10, 0x02, 0, 0, 65535, "Vendor Name"},
      {30, 2, 0x90, 0x10, 0x03, 0, 0, 65535, "Vendor Name"},
      {31, 2, 0x90, 0x10, 0x04, 0, 0, 65535, "Vendor Name"},
      {32, 2, 0x90, 0x10, 0x05, 0, 0, 65535, "Vendor Name"},
      {33, 2, 0x90, 0x10, 0x06, 0, 0, 65535, "Vendor Name"},
      {34, 2, 0x90, 0x10, 0x07, 0, 0, 65535, "Vendor Name"},
      {35, 2, 0x90, 0x10, 0x08, 0, 0, 65535, "Model Name"},
      {36, 2, 0x90, 0x10, 0x09, 0, 0, 65535, "Model Name"},
      {37, 2, 0x90, 0x10, 0x0A, 0, 0, 65535, "Model Name"},
      {38, 2, 0x90, 0x10, 0x0B, 0, 0, 65535, "Model Name"},
      {39, 2, 0x90, 0x10, 0x0C, 0, 0, 65535, "Model Name"},
      {40, 2, 0x90, 0x10, 0x0D, 0, 0, 65535, "Model Name"},
      {41, 2, 0x90, 0x10, 0x0E, 0, 0, 65535, "Model Name"},
      {42, 2, 0x90, 0x10, 0x0F, 0, 0, 65535, "Model Name"},
      {43, 2, 0x90, 0x10, 0x10, 0, 0, 65535, "Serial Number"},
      {44, 2, 0x90, 0x10, 0x11, 0, 0, 65535, "Serial Number"},
      {45, 2, 0x90, 0x10, 0x12, 0, 0, 65535, "Serial Number"},
      {46, 2, 0x90, 0x10, 0x13, 0, 0, 65535, "Serial Number"},
      {47, 2, 0x90, 0x10, 0x14, 0, 0, 65535, "Version"},
      {48, 2, 0x90, 0x10, 0x15, 0, 0, 65535, "Version"},
      {49, 2, 0x81, 0x01, 0x60, 0, 0, 65535, "Password"},
      {50, 0, 0x00, 0x00, 0x00, 0, 0, 0, ""},
      {127, 0, 0x00, 0x00, 0x00, 0, 0, 0, ""},
      {128, 0, 0x00, 0x00, 0x00, 0, 0, 0, "(Reserved)"},
  };
  const RecordingTable table = TableFor(0);
  for (const BaseRow& row : kRows) {
    SCOPED_TRACE(row.index);
    const ParameterEntry& entry = table.GetEntry(row.index);
    EXPECT_EQ(entry.flags, row.flags);
    EXPECT_EQ(entry.readCommand, row.readCommand);
    EXPECT_EQ(entry.writeCommand, row.writeCommand);
    EXPECT_EQ(entry.address, row.address);
    EXPECT_EQ(entry.defaultValue, row.defaultValue);
    EXPECT_EQ(entry.minimum, row.minimum);
    EXPECT_EQ(entry.maximum, row.maximum);
    EXPECT_EQ(table.GetName(row.index), row.name);
  }
  EXPECT_EQ(table.GetEntry(16).nameId, 62212u);  // named, but the name has no text
  EXPECT_EQ(table.GetEntry(17).nameId, 0u);
  for (int index = 50; index <= 127; ++index) EXPECT_EQ(table.GetEntry(index).flags, 0);
}

TEST(ParameterTableTest, EntriesSharingAnAddressKeepTheirOwnDescriptorAndValue) {
  RecordingTable table = TableFor(0);
  EXPECT_EQ(table.GetEntry(0).address, table.GetEntry(7).address);
  EXPECT_EQ(table.GetMaximum(0, false), 1);
  EXPECT_EQ(table.GetMaximum(7, false), 15);
  EXPECT_EQ(table.GetEntry(1).address, table.GetEntry(9).address);
  EXPECT_EQ(table.GetMaximum(1, false), 255);
  EXPECT_EQ(table.GetMaximum(9, false), 15);

  EXPECT_EQ(table.SetValue(13, 6, false), 1);
  EXPECT_EQ(table.GetValue(13, false), 6);
  for (int shared : {19, 20, 23}) EXPECT_EQ(table.GetValue(shared, false), 0);
}

TEST(ParameterTableTest, ConstructionLeavesEverythingZeroUntilInitTable) {
  CameraTypeScope scope(4);
  RecordingTable table;
  for (int index = 0; index < kParameterCount; ++index) {
    EXPECT_EQ(table.GetValue(index, false), 0);
    EXPECT_EQ(table.GetEntry(index).flags, 0);
    EXPECT_EQ(table.ResetValue(index), 0);
  }
}

TEST(ParameterTableTest, SetValueReportsWhetherTheValueChanged) {
  RecordingTable table = TableFor(0);
  EXPECT_EQ(table.SetValue(10, 300, false), 1);
  EXPECT_EQ(table.SetValue(10, 300, false), 0);
  EXPECT_EQ(table.GetValue(10, false), 300);
  // Nothing clamps to the range.
  EXPECT_EQ(table.SetValue(10, -7, true), 1);
  EXPECT_EQ(table.GetValue(10, true), -7);
}

// Camera form is tenths of program form for this test entry.
std::int32_t TenthsFromCamera(std::int32_t value) {
  return value / 10;
}
std::int32_t TenthsToCamera(std::int32_t value) {
  return value * 10;
}

TEST(ParameterTableTest, EveryCrossingBetweenFormsGoesThroughTheConverters) {
  RecordingTable table = TableFor(0);
  table.SetEntry(10, 3, 0x81, 0x01, 0x0C, 250, 0, 4620, TenthsFromCamera, TenthsToCamera, 62207);

  EXPECT_EQ(table.GetDefault(10, false), 250);
  EXPECT_EQ(table.GetDefault(10, true), 25);
  EXPECT_EQ(table.GetMaximum(10, true), 462);
  EXPECT_EQ(table.GetMinimum(10, true), 0);
  EXPECT_EQ(table.ResetValue(10), 25);
  EXPECT_EQ(table.GetValue(10, true), 250);
  EXPECT_EQ(table.SetValue(10, 300, true), 1);
  EXPECT_EQ(table.GetValue(10, false), 30);

  // Transfers send camera form and store program form; the wire range is the
  // stored (camera-form) one.
  EXPECT_EQ(table.WriteEntry(10, 40), 1);
  ASSERT_EQ(table.messages.size(), 1u);
  EXPECT_EQ(table.messages[0].value, 400);
  EXPECT_EQ(table.messages[0].maximum, 4620);
  EXPECT_EQ(table.GetValue(10, false), 40);

  table.reply = [](std::size_t) { return 120; };
  EXPECT_EQ(table.ReadEntry(10), 1);
  EXPECT_EQ(table.GetValue(10, false), 12);
}

}  // namespace
}  // namespace tavrel
