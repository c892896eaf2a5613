// Loading a library at run time, the platform's way (dlopen or LoadLibraryExW).
#pragma once

#include <string>

namespace tavrel {

// Loads `path` for good (never unloaded). Null on failure, with the loader's
// text in `detail`.
void* LoadSharedLibrary(const std::string& path, std::string* detail);

// The address of the exported `name`, or null.
void* SharedLibrarySymbol(void* library, const char* name);

}  // namespace tavrel
