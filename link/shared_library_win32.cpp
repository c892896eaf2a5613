#include <windows.h>

#include "link/board_transport.h"
#include "link/shared_library.h"

namespace tavrel {

// The board makers' DLL names are loaded as they are ("clseremc.dll"), found
// the way Windows finds DLLs: the program's folder, the system folders, PATH.
std::string PlatformBoardLibraryName(const std::string& name) {
  return name;
}

void* LoadSharedLibrary(const std::string& path, std::string* detail) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr && detail != nullptr) {
    *detail = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  }
  return reinterpret_cast<void*>(library);
}

void* SharedLibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace tavrel
