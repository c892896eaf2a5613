#include <gtest/gtest.h>

#include "model/parameter_table.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_table.h"

namespace tavrel {
namespace {

using testing::CameraTypeScope;
using testing::RecordingTable;

class TransfersTest : public ::testing::Test {
 protected:
  void SetUpFor(int type) {
    CameraTypeScope scope(type);
    table.InitTable();
    for (int index = 0; index < kParameterCount; ++index) table.ResetValue(index);
  }

  int CountMessages(bool read) const {
    int count = 0;
    for (const auto& m : table.messages) count += m.read == read ? 1 : 0;
    return count;
  }

  RecordingTable table;
};

TEST_F(TransfersTest, WholeTableTransfersStopAtTheFirstEntryWithoutTheirFlag) {
  struct Row {
    int type;
    int writes;
    int reads;
  };
  for (const Row row : {Row{0, 17, 17}, Row{1, 17, 17}, Row{2, 17, 17}, Row{3, 17, 17},
                        Row{4, 27, 50}, Row{5, 27, 50}, Row{6, 27, 50}}) {
    SCOPED_TRACE(row.type);
    table = RecordingTable();
    SetUpFor(row.type);
    EXPECT_EQ(table.WriteAllEntries(), 0);
    EXPECT_EQ(CountMessages(false), row.writes);
    table.messages.clear();
    EXPECT_EQ(table.ReadAllEntries(), 1);
    EXPECT_EQ(CountMessages(true), row.reads);
  }
}

TEST_F(TransfersTest, MessagesCarryTheEntrysCommandAddressAndRange) {
  SetUpFor(4);
  ASSERT_EQ(table.WriteAllEntries(), 0);
  ASSERT_EQ(table.messages.size(), 27u);
  const auto& gain = table.messages[10];
  EXPECT_EQ(gain.h1, 0x01);
  EXPECT_EQ(gain.h2, 0xFF);
  EXPECT_EQ(gain.h3, 0x01);
  EXPECT_EQ(gain.h4, 0x0C);
  EXPECT_EQ(gain.minimum, 0);
  EXPECT_EQ(gain.maximum, 336);
  EXPECT_EQ(table.messages[26].value, 1236);  // entry 26, its default
  EXPECT_EQ(table.messages[17].h4, 0x13);     // entry 17 included

  table.messages.clear();
  ASSERT_EQ(table.ReadAllEntries(), 1);
  const auto& vendor = table.messages[27];
  EXPECT_EQ(vendor.h3, 0x90);
  EXPECT_EQ(vendor.h4, 0x00);
  EXPECT_EQ(table.messages[49].h3, 0x81);
  EXPECT_EQ(table.messages[49].h4, 0x60);
}

TEST_F(TransfersTest, FailureAtEntryFiveKeepsWhatWasReadBefore) {
  SetUpFor(0);
  table.failFrom = 5;
  table.failCode = 5;
  EXPECT_EQ(table.ReadAllEntries(), -5);
  EXPECT_EQ(table.GetErrorCode(), 5);
  EXPECT_EQ(table.messages.size(), 6u);
  for (int index = 0; index < 5; ++index) EXPECT_EQ(table.GetValue(index, false), 1000 + index);
  EXPECT_EQ(table.GetValue(5, false), 1);  // HD RESET default
  for (int index = 6; index < kParameterCount; ++index) {
    EXPECT_EQ(table.GetValue(index, false), table.GetDefault(index, true)) << index;
  }
}

TEST_F(TransfersTest, FailedWriteStopsTheWalkAndKeepsTheStoredValue) {
  SetUpFor(0);
  table.failFrom = 0;
  table.failCode = 20;
  EXPECT_EQ(table.WriteEntry(10, 300), -20);
  EXPECT_EQ(table.GetValue(10, false), 0);
  table.messages.clear();
  EXPECT_EQ(table.WriteAllEntries(), -20);
  EXPECT_EQ(table.messages.size(), 1u);
  // A later failure whose step records nothing keeps the earlier reason.
  table.failCode = kKeepStoredCode;
  EXPECT_EQ(table.ReadEntry(0), -20);
}

TEST_F(TransfersTest, SingleEntryTransfersIgnoreTheFlags) {
  SetUpFor(0);
  EXPECT_EQ(table.WriteEntry(49, 0x4A1D), 1);
  ASSERT_EQ(table.messages.size(), 1u);
  EXPECT_EQ(table.messages[0].h3, 0x01);
  EXPECT_EQ(table.messages[0].h4, 0x60);
  EXPECT_EQ(table.messages[0].value, 0x4A1D);
  EXPECT_EQ(table.GetValue(49, false), 0x4A1D);

  EXPECT_EQ(table.ReadEntry(30), 1);
  EXPECT_EQ(table.messages[1].h3, 0x90);
  EXPECT_EQ(table.messages[1].h4, 0x03);
  EXPECT_EQ(table.GetValue(30, false), 1001);
}

TEST_F(TransfersTest, EqualValuesAreStillSentAndOutOfRangeValuesAreNotClamped) {
  SetUpFor(0);
  EXPECT_EQ(table.WriteEntry(12, 25), 0);  // already the stored default
  EXPECT_EQ(table.messages.size(), 1u);

  EXPECT_EQ(table.WriteEntry(10, 5000), 1);
  EXPECT_EQ(table.messages.back().value, 5000);
  EXPECT_EQ(table.GetValue(10, false), 5000);

  table.reply = [](std::size_t) { return 70000; };
  EXPECT_EQ(table.ReadEntry(2), 1);
  EXPECT_EQ(table.GetValue(2, false), 70000);
  EXPECT_EQ(table.ReadEntry(2), 0);
}

}  // namespace
}  // namespace tavrel
