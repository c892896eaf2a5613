#include "link/comm_error.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(CommError, KeepStoredCodeReturnsTheEarlierFailure) {
  CommError error;
  EXPECT_EQ(error.SetError(20), -20);
  EXPECT_EQ(error.SetError(kKeepStoredCode), -20);
  EXPECT_EQ(error.GetErrorCode(), 20);
  EXPECT_EQ(error.SetError(5), -5);
  EXPECT_EQ(error.GetErrorCode(), 5);
}

TEST(CommError, KeepStoredCodeWithNothingRecordedStillFails) {
  CommError error;
  EXPECT_LT(error.SetError(kKeepStoredCode), 0);
  EXPECT_EQ(error.GetErrorText(), "ERROR - This should be a software error.");
}

TEST(CommError, TextsKeepTheirExactForm) {
  struct Case {
    std::int32_t code;
    const char* text;
  };
  const Case cases[] = {
      {0, "ERROR - OK, No error present!"},
      {5, "ERROR - Communication time out detected.\nCheck the connection."},
      {25, "ERROR - Check sum code mismatched in received data from camera unit."},
      {26, "ERROR - Illegal message size of transmission data. "},
      {27, "ERROR - Too long message received."},
      {28, "ERROR - This should be a software error."},
      {-3, "ERROR - This should be a software error."},
  };
  for (const auto& c : cases) {
    CommError error;
    error.SetError(c.code);
    EXPECT_EQ(error.GetErrorText(), c.text) << "code " << c.code;
  }
}

}  // namespace
}  // namespace tavrel
