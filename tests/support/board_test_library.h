// Control block of the tiny CameraLink serial test libraries. The test finds
// it with dlsym("board_test_state") in the same loaded library the link uses.
#pragma once

#include <cstdint>

namespace tavrel::testing {

struct BoardTestState {
  std::int32_t initResult = 0;  // what clSerialInit returns
  int initCalls = 0;
  int readCalls = 0;
  int writeCalls = 0;
  int closeCalls = 0;
  std::uint32_t lastTimeout = 0;
  // Bytes the "camera" sends (served by clSerialRead) ...
  std::uint8_t toRead[64] = {};
  std::uint32_t toReadCount = 0;
  // ... and bytes it received (from clSerialWrite).
  std::uint8_t written[64] = {};
  std::uint32_t writtenCount = 0;
  // clSerialWrite accepts at most this many bytes per call.
  std::uint32_t writeLimit = 64;
};

using BoardTestStateFn = BoardTestState* (*)();

}  // namespace tavrel::testing
