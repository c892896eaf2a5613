// A CameraLink serial library for tests: behaves as the test's control block
// says. Built without one of its calls (BOARD_TEST_WITHOUT_INIT, _READ,
// _WRITE or _CLOSE) it stands for a library that is not a complete
// CameraLink serial library.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tests/support/board_test_library.h"

using tavrel::testing::BoardTestState;

namespace {
BoardTestState g_state;
[[maybe_unused]] int g_ref = 1;  // the reference clSerialInit hands out
}  // namespace

extern "C" {

__attribute__((visibility("default"))) BoardTestState* board_test_state() {
  return &g_state;
}

#ifndef BOARD_TEST_WITHOUT_INIT
__attribute__((visibility("default"))) std::int32_t clSerialInit(std::uint32_t, void** serialRef) {
  ++g_state.initCalls;
  *serialRef = g_state.initResult == 0 ? &g_ref : nullptr;
  return g_state.initResult;
}
#endif

#ifndef BOARD_TEST_WITHOUT_READ
__attribute__((visibility("default"))) std::int32_t clSerialRead(void*, std::int8_t* buffer,
                                                                 std::uint32_t* bufferSize,
                                                                 std::uint32_t serialTimeout) {
  ++g_state.readCalls;
  g_state.lastTimeout = serialTimeout;
  const std::uint32_t n = std::min(*bufferSize, g_state.toReadCount);
  std::memcpy(buffer, g_state.toRead, n);
  std::memmove(g_state.toRead, g_state.toRead + n, g_state.toReadCount - n);
  g_state.toReadCount -= n;
  *bufferSize = n;
  return n == 0 ? -10002 : 0;
}
#endif

#ifndef BOARD_TEST_WITHOUT_WRITE
__attribute__((visibility("default"))) std::int32_t clSerialWrite(void*, std::int8_t* buffer,
                                                                  std::uint32_t* bufferSize,
                                                                  std::uint32_t serialTimeout) {
  ++g_state.writeCalls;
  g_state.lastTimeout = serialTimeout;
  const std::uint32_t room =
      static_cast<std::uint32_t>(sizeof g_state.written) - g_state.writtenCount;
  const std::uint32_t n = std::min({*bufferSize, g_state.writeLimit, room});
  std::memcpy(g_state.written + g_state.writtenCount, buffer, n);
  g_state.writtenCount += n;
  *bufferSize = n;
  return 0;
}
#endif

#ifndef BOARD_TEST_WITHOUT_CLOSE
__attribute__((visibility("default"))) void clSerialClose(void*) {
  ++g_state.closeCalls;
}
#endif

}  // extern "C"
