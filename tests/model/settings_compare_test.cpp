#include "model/settings_compare.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_table.h"

namespace tavrel {

// Found by GoogleTest beside the type.
void PrintTo(const SettingsDifference& d, std::ostream* os) {
  *os << "{" << d.index << ", " << d.left << ", " << d.right << "}";
}

namespace {

using testing::CameraTypeScope;
using testing::RecordingTable;

using Values = std::array<std::int32_t, kParameterCount>;

constexpr int kLomira = 0;
constexpr int kKestra = 4;

RecordingTable TableFor(int type) {
  CameraTypeScope scope(type);
  RecordingTable table;
  table.InitTable();
  for (int index = 0; index < kParameterCount; ++index) table.ResetValue(index);
  return table;
}

Values DefaultsOf(const ParameterTable& table) {
  Values values{};
  for (int index = 0; index < kParameterCount; ++index) values[index] = table.GetValue(index, true);
  return values;
}

struct CompareRow {
  const char* what;
  int type;
  CompareScope scope;
  std::vector<std::pair<int, std::int32_t>> rightChanges;  // on top of the model's defaults
  std::vector<SettingsDifference> expected;
};

TEST(CompareSettings, ComparesTheEntriesTheModelTransfers) {
  const CompareRow rows[] = {
      {"the same values", kKestra, CompareScope::kWritten, {}, {}},
      {"one entry differs", kKestra, CompareScope::kWritten, {{10, 300}}, {{10, 0, 300}}},
      {"differences in index order, the last written entry included",
       kKestra,
       CompareScope::kWritten,
       {{26, 100}, {0, 0}, {17, 1}},
       {{0, 1, 0}, {17, 0, 1}, {26, 1236, 100}}},
      // Entry 17 is not in use on this model, so write-all stops there and
      // never reaches 18 to 26; 60 and 128 are in use on no model.
      {"entries the model does not write are ignored",
       kLomira,
       CompareScope::kWritten,
       {{17, 1}, {20, 5}, {60, 9}, {128, 9}},
       {}},
      {"identification and the access value are not written",
       kKestra,
       CompareScope::kWritten,
       {{27, 0x4142}, {49, 7}},
       {}},
      {"all read entries: identification and access value included, 50 on not",
       kKestra,
       CompareScope::kRead,
       {{16, 3}, {27, 0x4142}, {49, 7}, {50, 1}, {128, 1}},
       {{16, 5, 3}, {27, 0, 0x4142}, {49, 0, 7}}},
      {"all read entries on a model that reads no further than it writes",
       kLomira,
       CompareScope::kRead,
       {{16, 3}, {20, 5}, {27, 0x4142}},
       {{16, 5, 3}}},
  };
  for (const CompareRow& row : rows) {
    SCOPED_TRACE(row.what);
    const RecordingTable table = TableFor(row.type);
    const Values left = DefaultsOf(table);
    Values right = left;
    for (const auto& [index, value] : row.rightChanges) right[index] = value;
    EXPECT_EQ(CompareSettings(table, left, right, row.scope), row.expected);
  }
}

TEST(CompareSettings, ComparesAndGivesValuesInProgramForm) {
  RecordingTable table = TableFor(kKestra);
  const ParameterEntry gain = table.GetEntry(10);
  // Camera form counts half steps; odd ones show as the step below.
  table.SetEntry(
      10, gain.flags, gain.readCommand, gain.writeCommand, gain.address, gain.defaultValue,
      gain.minimum, gain.maximum, [](std::int32_t value) { return value / 2; },
      [](std::int32_t value) { return value * 2; }, gain.nameId);
  Values left = DefaultsOf(table);
  Values right = left;
  left[10] = 40;
  right[10] = 41;
  EXPECT_TRUE(CompareSettings(table, left, right, CompareScope::kWritten).empty());
  right[10] = 60;
  EXPECT_EQ(CompareSettings(table, left, right, CompareScope::kWritten),
            (std::vector<SettingsDifference>{{10, 20, 30}}));
}

}  // namespace
}  // namespace tavrel
