#include "link/board_transport.h"

#include <algorithm>
#include <vector>

#include "link/line_trace.h"
#include "link/shared_library.h"

namespace tavrel {
namespace {

template <typename Fn>
Fn LookUp(void* library, const char* name) {
  return reinterpret_cast<Fn>(SharedLibrarySymbol(library, name));
}

std::uint32_t ByteCount(std::int32_t count) {
  return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

}  // namespace

std::unique_ptr<BoardTransport> BoardTransport::Load(const std::string& name, std::string* detail) {
  const std::string path = PlatformBoardLibraryName(name);
  // Never unloaded: a board library may keep state for the life of the process.
  void* library = LoadSharedLibrary(path, detail);
  if (library == nullptr) return nullptr;
  const EntryPoints calls = {
      LookUp<ClSerialInitFn>(library, "clSerialInit"),
      LookUp<ClSerialReadFn>(library, "clSerialRead"),
      LookUp<ClSerialWriteFn>(library, "clSerialWrite"),
      LookUp<ClSerialCloseFn>(library, "clSerialClose"),
  };
  if (calls.init == nullptr || calls.read == nullptr || calls.write == nullptr ||
      calls.close == nullptr) {
    if (detail != nullptr) *detail = path + " is not a CameraLink serial library";
    return nullptr;
  }
  return std::unique_ptr<BoardTransport>(new BoardTransport(calls));
}

BoardTransport::~BoardTransport() {
  if (serialRef_ != nullptr) calls_.close(serialRef_);
}

std::int32_t BoardTransport::Init() {
  return calls_.init(0, &serialRef_);
}

std::int32_t BoardTransport::Write(const std::uint8_t* data, std::int32_t count,
                                   std::int32_t timeoutMs) {
  const std::uint32_t wanted = ByteCount(count);
  // The standard call takes a non-const buffer; libraries only read from it.
  std::vector<std::int8_t> copy(data, data + wanted);
  std::uint32_t size = wanted;
  calls_.write(serialRef_, copy.data(), &size, static_cast<std::uint32_t>(timeoutMs));
  const std::uint32_t written = std::min(size, wanted);
  TraceNow(trace_, TraceDirection::kPcToCamera, data, written);
  return static_cast<std::int32_t>(written);
}

std::int32_t BoardTransport::Read(std::uint8_t* buffer, std::int32_t count,
                                  std::int32_t timeoutMs) {
  const std::uint32_t wanted = ByteCount(count);
  std::uint32_t size = wanted;
  calls_.read(serialRef_, reinterpret_cast<std::int8_t*>(buffer), &size,
              static_cast<std::uint32_t>(timeoutMs));
  const std::uint32_t received = std::min(size, wanted);
  TraceNow(trace_, TraceDirection::kCameraToPc, buffer, received);
  return static_cast<std::int32_t>(received);
}

std::int32_t BoardTransport::Purge(std::uint32_t /*flags*/) {
  return LinkFailure(LinkCode::kPortNotOpened);
}

}  // namespace tavrel
