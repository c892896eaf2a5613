// The CameraLink board's serial channel, reached through the board maker's
// serial library (the four standard clSerial calls). One connection per
// process; the library, once loaded, stays loaded until the process ends.
#pragma once

#include <cstdint>
#include <string>

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

enum class BoardLoadResult { kLoaded, kNotLoadable, kMissingEntryPoint };

// Loads the library and looks up its four entry points. Nothing of a library
// that lacks one of them is ever called. `detail` receives the loader's text.
BoardLoadResult LoadBoardLibrary(const std::string& name, std::string* detail);

// clSerialInit on serial index 0; its result. Keeps whatever reference the
// library left.
std::int32_t BoardSerialInit();

bool IsBoardConnected();
// Byte counts the library reports having moved.
std::uint32_t BoardSerialRead(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs);
std::uint32_t BoardSerialWrite(const std::uint8_t* data, std::uint32_t count,
                               std::uint32_t timeoutMs);
// clSerialClose when a connection is held; the library stays loaded.
void CloseBoardConnection();

}  // namespace tavrel
