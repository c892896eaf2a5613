// Register access without a camera: message bodies and input checks, the rows
// a page shows, reply data and the page loop's stop rules.
#include "model/register_access.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrel {
namespace {

using Area = RegisterArea;
using Mode = RegisterMode;
using Error = RegisterInputError;

struct WriteCase {
  Mode mode;
  Area area;
  const char* address;
  const char* data;
  const char* body;  // empty when an input error is expected
  Error error;
};

TEST(RegisterBody, WriteBodiesAndTheirChecks) {
  const WriteCase cases[] = {
      {Mode::kFpga, Area::kDsp, "05", "12", "00FF0205120000", Error::kNone},
      {Mode::kEeprom, Area::kAfe, "10", "ABCD", "01FF0410ABCD00", Error::kNone},
      {Mode::kFpga, Area::kCommon, "60", "4A1D", "00FF01604A1D00", Error::kNone},
      {Mode::kFpga, Area::kTg, "FF", "00", "00FF03FF000000", Error::kNone},
      {Mode::kEeprom, Area::kDdr, "3c", "9f", "01FF053C9F0000", Error::kNone},
      {Mode::kFpga, Area::kInfo, "7f", "beef", "00FF107FBEEF00", Error::kNone},
      // A typed address is taken as it is, even outside the shown page.
      {Mode::kFpga, Area::kCommon, "7F", "0000", "00FF017F000000", Error::kNone},
      {Mode::kFpga, Area::kDsp, "", "12", "", Error::kAddress},
      {Mode::kFpga, Area::kDsp, "5", "12", "", Error::kAddress},
      {Mode::kFpga, Area::kDsp, "005", "12", "", Error::kAddress},
      {Mode::kFpga, Area::kDsp, "G5", "12", "", Error::kAddress},
      {Mode::kFpga, Area::kDsp, " 5", "12", "", Error::kAddress},
      // The address is checked first.
      {Mode::kFpga, Area::kAfe, "X0", "ABC", "", Error::kAddress},
      {Mode::kFpga, Area::kAfe, "10", "ABC", "", Error::kData},
      {Mode::kFpga, Area::kCommon, "10", "12", "", Error::kData},
      {Mode::kFpga, Area::kInfo, "10", "12345", "", Error::kData},
      {Mode::kFpga, Area::kDsp, "05", "1234", "", Error::kData},
      {Mode::kFpga, Area::kTg, "05", "1", "", Error::kData},
      {Mode::kFpga, Area::kDdr, "05", "1Z", "", Error::kData},
      {Mode::kFpga, Area::kDdr, "05", "", "", Error::kData},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(std::string(c.address) + " " + c.data);
    const RegisterBody body = BuildRegisterWriteBody(c.mode, c.area, c.address, c.data);
    EXPECT_EQ(body.error, c.error);
    EXPECT_EQ(body.body, c.body);
    if (c.error == Error::kNone) {
      EXPECT_EQ(body.body.size(), 14u);
    }
  }
}

TEST(RegisterBody, ReadBodiesCarryTheReadCodeAndNoData) {
  struct Case {
    Mode mode;
    Area area;
    const char* address;
    const char* body;
  };
  const Case cases[] = {
      {Mode::kFpga, Area::kDsp, "05", "00FF8205000000"},
      {Mode::kEeprom, Area::kCommon, "0c", "01FF810C000000"},
      {Mode::kFpga, Area::kTg, "1F", "00FF831F000000"},
      {Mode::kFpga, Area::kAfe, "10", "00FF8410000000"},
      {Mode::kEeprom, Area::kDdr, "A0", "01FF85A0000000"},
      {Mode::kFpga, Area::kInfo, "13", "00FF9013000000"},
  };
  for (const Case& c : cases) {
    const RegisterBody body = BuildRegisterReadBody(c.mode, c.area, c.address);
    EXPECT_EQ(body.error, Error::kNone);
    EXPECT_EQ(body.body, c.body);
  }
  EXPECT_EQ(BuildRegisterReadBody(Mode::kFpga, Area::kDsp, "").error, Error::kAddress);
  EXPECT_EQ(BuildRegisterReadBody(Mode::kFpga, Area::kDsp, "1").body, "");
}

TEST(RegisterBody, InputErrorTexts) {
  EXPECT_EQ(RegisterInputErrorText(Error::kAddress), "アドレスの入力が不正です。");
  EXPECT_EQ(RegisterInputErrorText(Error::kData), "データの入力が不正です。");
  EXPECT_EQ(RegisterInputErrorText(Error::kNone), "");
}

TEST(RegisterReply, RowsShowTheFirstTwoOrFourValueCharacters) {
  EXPECT_EQ(RegisterReplyData(Area::kDsp, "12AB34"), "12");
  EXPECT_EQ(RegisterReplyData(Area::kTg, "FF0000"), "FF");
  EXPECT_EQ(RegisterReplyData(Area::kDdr, "010203"), "01");
  EXPECT_EQ(RegisterReplyData(Area::kCommon, "4A1D00"), "4A1D");
  EXPECT_EQ(RegisterReplyData(Area::kAfe, "ABCDEF"), "ABCD");
  EXPECT_EQ(RegisterReplyData(Area::kInfo, "303100"), "3031");
}

// The 32 rows of one page, written as "ADDR:DATA" ("" for a blank row).
std::vector<std::string> Page(Area area, int base) {
  std::vector<std::string> rows;
  for (int row = 0; row < kRegisterPageRows; ++row) {
    const RegisterRowText text = InitialRegisterRow(area, base, row);
    EXPECT_EQ(text.address.empty(), text.data.empty());
    rows.push_back(text.address.empty() ? "" : text.address + ":" + text.data);
  }
  return rows;
}

TEST(RegisterPage, RowsShowThePageWithBlankRowsPastTheAreasEnd) {
  std::vector<std::string> common60 = Page(Area::kCommon, 0x60);
  EXPECT_EQ(common60.front(), "60:0000");
  EXPECT_EQ(common60[30], "7E:0000");
  EXPECT_EQ(common60[31], "");
  EXPECT_EQ(Page(Area::kInfo, 0x60)[31], "7F:0000");
  EXPECT_EQ(Page(Area::kTg, 0x00)[0], "00:00");
  EXPECT_EQ(Page(Area::kDsp, 0xE0)[31], "FF:00");
  EXPECT_EQ(Page(Area::kAfe, 0xA0)[11], "AB:0000");
  EXPECT_EQ(Page(Area::kDdr, 0x80)[0], "80:00");
  for (int base = 0x80; base <= 0xE0; base += 0x20) {
    EXPECT_EQ(Page(Area::kCommon, base), std::vector<std::string>(32)) << base;
    EXPECT_EQ(Page(Area::kInfo, base), std::vector<std::string>(32)) << base;
  }
}

TEST(RegisterArea, NamesParseWithCaseIgnored) {
  for (Area area : {Area::kCommon, Area::kDsp, Area::kTg, Area::kAfe, Area::kDdr, Area::kInfo}) {
    EXPECT_EQ(RegisterAreaFromName(RegisterAreaName(area)), area);
  }
  EXPECT_EQ(RegisterAreaFromName("DSP"), Area::kDsp);
  EXPECT_EQ(RegisterAreaFromName("Info"), Area::kInfo);
  EXPECT_EQ(RegisterAreaFromName("fpga"), std::nullopt);
  EXPECT_EQ(RegisterAreaFromName(""), std::nullopt);
}

TEST(RegisterPageLoop, AnInputErrorEndsThePageAndALinkErrorDoesNot) {
  using Outcome = RegisterRowOutcome;
  std::vector<int> visited;
  ForEachRegisterPageRow([&](int row) {
    visited.push_back(row);
    if (row == 7) return Outcome::kInputError;
    return row % 2 == 0 ? Outcome::kLinkError : Outcome::kDone;
  });
  EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));

  visited.clear();
  ForEachRegisterPageRow([&](int row) {
    visited.push_back(row);
    return Outcome::kLinkError;
  });
  EXPECT_EQ(visited.size(), 32u);
  EXPECT_EQ(visited.back(), 31);
}

}  // namespace
}  // namespace tavrel
