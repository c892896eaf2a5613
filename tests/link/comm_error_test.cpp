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

// Every code's text as the user reads it; code 1's text also stands for any
// code outside 0 to 27 (code 1 itself is never recorded).
TEST(CommError, TextsKeepTheirExactForm) {
  struct Case {
    std::int32_t code;
    const char* text;
  };
  const Case cases[] = {
      {0, "ERROR - OK, No error present!"},
      {2, "ERROR - Communication port number invalid."},
      {3, "ERROR - Communication port not opened."},
      {4, "ERROR - Can not open communciation port."},
      {5, "ERROR - Communication time out detected.\nCheck the connection."},
      {6, "ERROR - Bad chacter size specified in sending/receiving data to the camera unit."},
      {7, "ERROR - Missing overlap operation for reading/writing data to the specified port."},
      {8, "ERROR - Purge operation failure for communication port."},
      {9, "ERROR - Serial line break condition detected."},
      {10, "ERROR - Framing error detected on camera communication."},
      {11, "ERROR - Serial communication I/O error."},
      {12, "ERROR - General software error (?). I do not know the cause."},
      {13, "ERROR - Character overrun detected on serial communciation."},
      {14, "ERROR - Receiver buffer full."},
      {15, "ERROR - Parity error detected in received data."},
      {16, "ERROR - Transmit buffer full."},
      {17, "ERROR - Unselected parallel device."},
      {18, "ERROR - Time out on parallel device."},
      {19, "ERROR - Paper empty."},
      {20, "ERROR - Unexpected character received from camera unit."},
      {21, "ERROR - Bad character size in received packet from camera unit."},
      {22, "ERROR - No STX character found in received data from camera unit."},
      {23, "ERROR - No ETX character found in received data."},
      {24, "ERROR - Invalid character type found in received data from camera unit."},
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
