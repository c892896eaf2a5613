#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "link/board_transport.h"
#include "link/file_paths.h"
#include "link/shared_library.h"

namespace tavrel {
namespace {

// Libraries a board library needs come from its own folder first, then the
// program's folder and the system folder: never from the current folder.
constexpr DWORD kBesideTheLibrary =
    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;

bool NamesAFolder(std::wstring_view name) {
  return name.find_first_of(L"\\/:") != std::wstring_view::npos;
}

// "C:\..." or "\\server\...": a PATH entry that does not depend on the
// current folder.
bool IsAbsolute(std::wstring_view folder) {
  if (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) {
    return true;
  }
  return folder.size() >= 2 && (folder[0] == L'\\' || folder[0] == L'/') &&
         (folder[1] == L'\\' || folder[1] == L'/');
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring PathVariable() {
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(L"PATH", value.data(), size));
  return value;
}

// The first file of that name in a folder of PATH, loaded; null (with the
// system's error set) when none has it. Relative entries, such as ".", are
// passed over: they stand for the current folder.
HMODULE LoadFromPathFolders(const std::wstring& name) {
  const std::wstring path = PathVariable();
  std::size_t begin = 0;
  while (begin <= path.size()) {
    const std::size_t end = std::min(path.find(L';', begin), path.size());
    std::wstring folder = path.substr(begin, end - begin);
    begin = end + 1;
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (!IsAbsolute(folder)) continue;
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    const std::wstring candidate = folder + name;
    if (IsFile(candidate)) return LoadLibraryExW(candidate.c_str(), nullptr, kBesideTheLibrary);
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

}  // namespace

// The board makers' DLL names are loaded as they are ("clseremc.dll").
std::string PlatformBoardLibraryName(const std::string& name) {
  return name;
}

// A bare name is found in the program's folder, the system folder, then the
// folders of PATH; never in the current folder, where any file dropped into
// the folder a user works in would be loaded and run. A path is loaded from
// where it points (relative to the current folder, as typed).
void* LoadSharedLibrary(const std::string& path, std::string* detail) {
  const std::wstring name = WideText(path);
  HMODULE library = nullptr;
  if (name.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
  } else if (NamesAFolder(name)) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
      full.resize(length);
      length = GetFullPathNameW(name.c_str(), length, full.data(), nullptr);
    }
    full.resize(length);
    if (length != 0) library = LoadLibraryExW(full.c_str(), nullptr, kBesideTheLibrary);
  } else {
    library = LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr && GetLastError() == ERROR_MOD_NOT_FOUND) {
      library = LoadFromPathFolders(name);
    }
  }
  if (library == nullptr && detail != nullptr) {
    *detail = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  }
  return reinterpret_cast<void*>(library);
}

void* SharedLibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace tavrel
