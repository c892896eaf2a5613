// The board carrier through tiny CameraLink serial test libraries.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/board_transport.h"
#include "link/comm_port.h"
#include "tests/support/board_test_library.h"
#include "tests/support/pty_pair.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

using testing::BoardTestState;
using testing::BoardTestStateFn;

// The control block of the test library at `path`, as loaded in this process,
// back at its defaults.
BoardTestState* StateOf(const char* path) {
  void* library = dlopen(path, RTLD_NOW);
  if (library == nullptr) return nullptr;
  auto fn = reinterpret_cast<BoardTestStateFn>(dlsym(library, "board_test_state"));
  if (fn == nullptr) return nullptr;
  *fn() = BoardTestState{};
  return fn();
}

TEST(BoardLibraryNames, BareDllNamesMapToSharedObjects) {
  EXPECT_EQ("libclseremc.so", PlatformBoardLibraryName("clseremc.dll"));
  EXPECT_EQ("libclsermtx.so", PlatformBoardLibraryName("CLSERMTX.DLL"));
  EXPECT_EQ("./clseremc.dll", PlatformBoardLibraryName("./clseremc.dll"));
  EXPECT_EQ("libclsersim.so", PlatformBoardLibraryName("libclsersim.so"));
}

TEST(BoardLink, UnloadableLibraryFailsWithCode4) {
  CommPort port;
  EXPECT_EQ(-4, port.OpenBoard("/nonexistent/libnothing.so"));
  EXPECT_EQ(-4, port.OpenBoard("/dev/null"));  // not a library at all
  EXPECT_FALSE(port.HasBoardConnection());
  EXPECT_FALSE(port.GetSystemErrorText().empty());
}

// Whichever of the four calls is missing, the library is not one: code 4,
// and none of the calls it has is made.
TEST(BoardLink, LibraryMissingAnEntryPointIsNeverCalled) {
  for (const char* library : {TAVREL_BOARD_TEST_WITHOUT_INIT, TAVREL_BOARD_TEST_WITHOUT_READ,
                              TAVREL_BOARD_TEST_WITHOUT_WRITE, TAVREL_BOARD_TEST_WITHOUT_CLOSE}) {
    SCOPED_TRACE(library);
    BoardTestState* state = StateOf(library);
    ASSERT_NE(nullptr, state);
    CommPort port;
    EXPECT_EQ(-4, port.OpenBoard(library));
    EXPECT_EQ(4, port.GetErrorCode());
    EXPECT_FALSE(port.HasBoardConnection());
    EXPECT_EQ(-3, port.Write(reinterpret_cast<const std::uint8_t*>("\x05"), 1, 1000));
    EXPECT_EQ(0, state->initCalls + state->readCalls + state->writeCalls + state->closeCalls);
  }
}

TEST(BoardLink, FailedInitShowsTheBoardErrorAndStillSucceeds) {
  BoardTestState* state = StateOf(TAVREL_BOARD_TEST_LIBRARY);
  ASSERT_NE(nullptr, state);
  state->initResult = -1;
  tavrel::testing::RecordingPrompt prompt;
  CommPort port;
  port.SetUserPrompt(&prompt);
  EXPECT_EQ(0, port.OpenBoard(TAVREL_BOARD_TEST_LIBRARY));
  ASSERT_EQ(1u, prompt.messages.size());
  EXPECT_EQ("Bord Open Error", prompt.messages[0].text);
  EXPECT_EQ("Error", prompt.messages[0].caption);
  EXPECT_EQ(MessageIcon::kError, prompt.messages[0].icon);
  EXPECT_TRUE(prompt.messages[0].ownerless);
  // No connection: reads go to the closed COM port.
  EXPECT_FALSE(port.HasBoardConnection());
  std::uint8_t byte = 0;
  EXPECT_EQ(-3, port.Read(&byte, 1, 100));

  CommPort silent;  // no prompt: nothing shown, nothing breaks
  EXPECT_EQ(0, silent.OpenBoard(TAVREL_BOARD_TEST_LIBRARY));
}

TEST(BoardLink, BytesPassThroughTheLibrary) {
  BoardTestState* state = StateOf(TAVREL_BOARD_TEST_LIBRARY);
  ASSERT_NE(nullptr, state);
  CommPort port;
  ASSERT_EQ(0, port.OpenBoard(TAVREL_BOARD_TEST_LIBRARY));
  ASSERT_TRUE(port.HasBoardConnection());

  const std::uint8_t out[] = {kEnq, 'Z'};
  EXPECT_EQ(2, port.Write(out, 2, 1000));
  EXPECT_EQ(1000u, state->lastTimeout);  // handed over unchanged
  EXPECT_EQ(0, std::memcmp(out, state->written, 2));

  std::memcpy(state->toRead, "\x06QR", 3);
  state->toReadCount = 3;
  std::uint8_t in[3] = {};
  EXPECT_EQ(3, port.Read(in, 3, 4000));
  EXPECT_EQ(4000u, state->lastTimeout);
  EXPECT_EQ(0, std::memcmp("\x06QR", in, 3));

  // A short transfer is a failure by its count, and leaves the time-out code.
  EXPECT_EQ(0, port.Read(in, 1, 10));
  EXPECT_EQ(5, port.GetErrorCode());
  state->writeLimit = 1;
  EXPECT_EQ(1, port.Write(out, 2, 10));

  port.Close();
  EXPECT_EQ(1, state->closeCalls);
  EXPECT_FALSE(port.HasBoardConnection());
}

TEST(BoardLink, SilentBoardEndsQueryPromptly) {
  BoardTestState* state = StateOf(TAVREL_BOARD_TEST_LIBRARY);
  ASSERT_NE(nullptr, state);
  CommPort port;
  ASSERT_EQ(0, port.OpenBoard(TAVREL_BOARD_TEST_LIBRARY));
  // The camera acknowledges ENQ and frame but never replies.
  state->toRead[0] = kAck;
  state->toRead[1] = kAck;
  state->toReadCount = 2;
  char answer[kMessageBufferSize];
  EXPECT_EQ(-5, port.Query("AB", answer));
  EXPECT_LE(state->readCalls, 2 + 4 * 2);  // one STX wait per cycle after the first handshake
}

TEST(BoardLink, OpeningAComPortEndsTheBoardConnection) {
  BoardTestState* state = StateOf(TAVREL_BOARD_TEST_LIBRARY);
  ASSERT_NE(nullptr, state);
  tavrel::testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CommPort port;
  ASSERT_EQ(0, port.OpenBoard(TAVREL_BOARD_TEST_LIBRARY));
  ASSERT_EQ(0, port.OpenSerialDevice(pty.slavePath(), 9600));
  EXPECT_FALSE(port.HasBoardConnection());
  EXPECT_EQ(1, state->closeCalls);
  const std::uint8_t out[] = {'k'};
  const int writesBefore = state->writeCalls;
  EXPECT_EQ(1, port.Write(out, 1, 1000));
  EXPECT_EQ(writesBefore, state->writeCalls);  // went to the COM port
}

}  // namespace
}  // namespace tavrel
