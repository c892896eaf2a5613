#include <dlfcn.h>

#include <algorithm>
#include <cctype>

#include "link/board_transport.h"
#include "link/shared_library.h"

namespace tavrel {
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

std::string PlatformBoardLibraryName(const std::string& name) {
  const bool hasFolder = name.find('/') != std::string::npos;
  if (hasFolder || !EndsWithNoCase(name, ".dll")) return name;
  // Windows names are case-blind; the shared objects are installed in lower case.
  std::string stem = name.substr(0, name.size() - 4);
  std::transform(stem.begin(), stem.end(), stem.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return "lib" + stem + ".so";
}

void* LoadSharedLibrary(const std::string& path, std::string* detail) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr && detail != nullptr) {
    const char* text = dlerror();
    *detail = text != nullptr ? text : "cannot load " + path;
  }
  return library;
}

void* SharedLibrarySymbol(void* library, const char* name) {
  return dlsym(library, name);
}

}  // namespace tavrel
