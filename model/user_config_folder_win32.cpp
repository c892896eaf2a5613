#include <windows.h>
// (windows.h first: shlobj.h needs its types.)
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "link/file_paths.h"
#include "model/user_config_folder.h"

namespace tavrel {

std::string UserConfigFolder() {
  PWSTR folder = nullptr;
  std::string path;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
    path = Utf8Text(folder);
  }
  CoTaskMemFree(folder);
  if (path.empty()) {
    // Only when the system cannot say: the variable that names the folder.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData != nullptr) path = Utf8Text(appData);
  }
  return path;
}

}  // namespace tavrel
