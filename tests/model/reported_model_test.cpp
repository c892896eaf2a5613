// The model the camera reports against the model chosen: which model a
// model-name text names, the warning, and how the text is read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/identification_text.h"
#include "model/reported_model.h"
#include "model/reported_model_read.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_table.h"

namespace tavrel {
namespace {

using testing::CameraTypeScope;
using testing::RecordingTable;

TEST(ReportedModelTest, ALeadingWordNamesTheModelWithTheSameOne) {
  struct Case {
    const char* text;
    int type;
  };
  const Case cases[] = {
      {"LOMIRA-P/S", 0}, {"LOMIRA-S", 0},    {"LOMIRA-P", 0},  {"LOMIRA-", 0},    {"LOMIRA", 0},
      {"PAVON-S", 1},    {"SOVELI-P/S", 2},  {"RINDAL-X", 3},  {"KESTRA-P/S", 4}, {"QUESSA-S", 5},
      {"TEMBRA-P/S", 6}, {"", -1},           {"-S", -1},       {"LOMIRAX-S", -1}, {"LOMIR-S", -1},
      {"lomira-s", -1},  {" LOMIRA-S", -1},  {"LOMIRA S", -1}, {"XLOMIRA-S", -1}, {"P/S", -1},
      {"LOMIRA/S", -1},  {"KESTRA_P/S", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CameraTypeNamedBy(c.text), c.type);
  }
}

TEST(ReportedModelTest, WarnsOnlyWhenTheTextNamesAnotherOfTheModels) {
  EXPECT_EQ(WrongModelWarning("LOMIRA-S", 4),
            "The camera reports LOMIRA-S; KESTRA-P/S was chosen.");
  EXPECT_EQ(WrongModelWarning("TEMBRA-P/S", 0),
            "The camera reports TEMBRA-P/S; LOMIRA-P/S was chosen.");
  EXPECT_EQ(WrongModelWarning("LOMIRA-S", 0), "");    // the model chosen
  EXPECT_EQ(WrongModelWarning("KESTRA-P/S", 4), "");  // the model chosen
  EXPECT_EQ(WrongModelWarning("CAM-1000", 4), "");    // none of the seven
  EXPECT_EQ(WrongModelWarning("", 4), "");            // nothing reported
  EXPECT_EQ(StartAgainQuestion(0), "Start again as LOMIRA-P/S?");
}

class ReportedModelReadTest : public ::testing::Test {
 protected:
  void SetUpFor(int type) {
    CameraTypeScope scope(type);
    table.InitTable();
    for (int index = 0; index < kParameterCount; ++index) table.ResetValue(index);
  }
  // The camera answers the model-name entries with `text`, packed.
  void CameraReports(const std::string& text) {
    const std::vector<std::int32_t> packed = PackText(text);
    table.reply = [this, packed](std::size_t n) {
      const testing::RecordedMessage& m = table.messages[n];
      const auto at = static_cast<std::size_t>(m.h4 - 0x08);
      const bool modelName = m.h3 == 0x90 && m.h4 >= 0x08 && m.h4 <= 0x0F;
      return modelName && at < packed.size() ? packed[at] : 0;
    };
  }

  RecordingTable table;
};

// Read commands of the INFO area from address 0x08 on, until the text ends;
// nothing is stored.
TEST_F(ReportedModelReadTest, ReadsUntilTheTextEndsAndStoresNothing) {
  SetUpFor(0);
  struct Case {
    const char* text;
    std::size_t reads;
  };
  for (const Case c :
       {Case{"LOMIRA-S", 5}, Case{"PAVON-P", 4}, Case{"", 1}, Case{"ABCDEFGHIJKLMNOP", 8}}) {
    SCOPED_TRACE(c.text);
    table.messages.clear();
    CameraReports(c.text);
    EXPECT_EQ(ReadReportedModelName(table), std::optional<std::string>(c.text));
    ASSERT_EQ(table.messages.size(), c.reads);
    for (std::size_t i = 0; i < c.reads; ++i) {
      EXPECT_TRUE(table.messages[i].read);
      EXPECT_EQ(table.messages[i].h1, 0x01);
      EXPECT_EQ(table.messages[i].h2, 0xFF);
      EXPECT_EQ(table.messages[i].h3, 0x90);
      EXPECT_EQ(table.messages[i].h4, static_cast<std::int32_t>(0x08 + i));
    }
    EXPECT_EQ(ModelNameOf(table), "");
  }
  table.messages.clear();
  table.failFrom = 1;
  EXPECT_EQ(ReadReportedModelName(table), std::nullopt);
  EXPECT_EQ(table.messages.size(), 2u);
}

// Camera types 4 to 6 have the text from the whole-camera read; 0 to 3 read
// it, since their whole-camera read stops at entry 17.
TEST_F(ReportedModelReadTest, AfterTheWholeReadTheTextIsReadOnlyWhereTheReadStopsEarlier) {
  SetUpFor(4);
  CameraReports("LOMIRA-S");
  ASSERT_EQ(table.ReadAllEntries(), 1);
  const std::size_t afterReadAll = table.messages.size();
  EXPECT_EQ(ReportedModelNameAfterReadAll(table), std::optional<std::string>("LOMIRA-S"));
  EXPECT_EQ(table.messages.size(), afterReadAll);

  table = RecordingTable();
  SetUpFor(0);
  CameraReports("KESTRA-P/S");
  ASSERT_EQ(table.ReadAllEntries(), 1);
  EXPECT_EQ(table.messages.size(), 17u);
  EXPECT_EQ(ReportedModelNameAfterReadAll(table), std::optional<std::string>("KESTRA-P/S"));
  EXPECT_EQ(table.messages.size(), 17u + 6u);  // five pairs and the end
}

}  // namespace
}  // namespace tavrel
