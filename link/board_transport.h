// The CameraLink board's serial channel as a carrier of the camera line,
// reached through the board maker's serial library (the four standard
// clSerial calls). The library, once loaded, stays loaded until the process
// ends; the connection ends with this object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/transport.h"

namespace tavrel {

// The standard CameraLink serial calls, declared here by their published form.
using ClSerialInitFn = std::int32_t (*)(std::uint32_t serialIndex, void** serialRef);
using ClSerialReadFn = std::int32_t (*)(void* serialRef, std::int8_t* buffer,
                                        std::uint32_t* bufferSize, std::uint32_t serialTimeout);
using ClSerialWriteFn = std::int32_t (*)(void* serialRef, std::int8_t* buffer,
                                         std::uint32_t* bufferSize, std::uint32_t serialTimeout);
using ClSerialCloseFn = void (*)(void* serialRef);

// The library name as the platform loads it: a bare "name.dll" becomes
// "libname.so", in lower case (found through the library search path); a name with a folder
// or any other name is used as given.
std::string PlatformBoardLibraryName(const std::string& name);

class BoardTransport : public Transport {
 public:
  // Loads the library and looks up its four entry points. Null when it
  // cannot be loaded or lacks one of them (nothing of such a library is ever
  // called), with the loader's text in `detail`.
  static std::unique_ptr<BoardTransport> Load(const std::string& name, std::string* detail);
  // clSerialClose when a connection is held.
  ~BoardTransport() override;
  BoardTransport(const BoardTransport&) = delete;
  BoardTransport& operator=(const BoardTransport&) = delete;

  // clSerialInit on serial index 0 (the board's first serial port); its
  // result. Keeps whatever reference the library left.
  std::int32_t Init();
  // Whether the library gave a connection reference.
  bool IsConnected() const { return serialRef_ != nullptr; }

  // The library's own results are not used: the count it reports is all
  // that tells (a short one is a time-out), and the time-out goes to it
  // unchanged, for the whole call.
  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) override;
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override;
  // A board has no queues the program may purge: the purge reaches for a COM
  // port and finds none open.
  std::int32_t Purge(std::uint32_t flags) override;
  void SetTrace(LineTrace* trace) override { trace_ = trace; }

 private:
  struct EntryPoints {
    ClSerialInitFn init;
    ClSerialReadFn read;
    ClSerialWriteFn write;
    ClSerialCloseFn close;
  };
  explicit BoardTransport(const EntryPoints& calls) : calls_(calls) {}

  EntryPoints calls_;
  void* serialRef_ = nullptr;
  LineTrace* trace_ = nullptr;
};

}  // namespace tavrel
