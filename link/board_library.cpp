#include "link/board_library.h"

#include <algorithm>
#include <vector>

#include "link/shared_library.h"

namespace tavrel {
namespace {

struct BoardConnection {
  ClSerialInitFn init = nullptr;
  ClSerialReadFn read = nullptr;
  ClSerialWriteFn write = nullptr;
  ClSerialCloseFn close = nullptr;
  void* serialRef = nullptr;
};

BoardConnection& Board() {
  static BoardConnection board;
  return board;
}

template <typename Fn>
Fn LookUp(void* library, const char* name) {
  return reinterpret_cast<Fn>(SharedLibrarySymbol(library, name));
}

}  // namespace

BoardLoadResult LoadBoardLibrary(const std::string& name, std::string* detail) {
  const std::string path = PlatformBoardLibraryName(name);
  // Never unloaded: the board keeps its connection for the life of the process.
  void* library = LoadSharedLibrary(path, detail);
  if (library == nullptr) return BoardLoadResult::kNotLoadable;
  const auto init = LookUp<ClSerialInitFn>(library, "clSerialInit");
  const auto read = LookUp<ClSerialReadFn>(library, "clSerialRead");
  const auto write = LookUp<ClSerialWriteFn>(library, "clSerialWrite");
  const auto close = LookUp<ClSerialCloseFn>(library, "clSerialClose");
  if (init == nullptr || read == nullptr || write == nullptr || close == nullptr) {
    if (detail != nullptr) *detail = path + " is not a CameraLink serial library";
    return BoardLoadResult::kMissingEntryPoint;
  }
  BoardConnection& board = Board();
  board.init = init;
  board.read = read;
  board.write = write;
  board.close = close;
  return BoardLoadResult::kLoaded;
}

std::int32_t BoardSerialInit() {
  BoardConnection& board = Board();
  if (board.init == nullptr) return -1;
  return board.init(0, &board.serialRef);
}

bool IsBoardConnected() {
  return Board().serialRef != nullptr;
}

std::uint32_t BoardSerialRead(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) {
  BoardConnection& board = Board();
  std::uint32_t size = count;
  board.read(board.serialRef, reinterpret_cast<std::int8_t*>(buffer), &size, timeoutMs);
  return std::min(size, count);
}

std::uint32_t BoardSerialWrite(const std::uint8_t* data, std::uint32_t count,
                               std::uint32_t timeoutMs) {
  BoardConnection& board = Board();
  // The standard call takes a non-const buffer; libraries only read from it.
  std::vector<std::int8_t> copy(data, data + count);
  std::uint32_t size = count;
  board.write(board.serialRef, copy.data(), &size, timeoutMs);
  return std::min(size, count);
}

void CloseBoardConnection() {
  BoardConnection& board = Board();
  if (board.serialRef == nullptr) return;
  board.close(board.serialRef);
  board.serialRef = nullptr;
}

}  // namespace tavrel
