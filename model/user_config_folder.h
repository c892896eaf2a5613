// The folder where the user's own settings of every program live: on Windows
// the roaming application-data folder the system names (its known folder, so
// a profile folder whose name is outside the system's code page is found
// whole), elsewhere $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config. A path as link/file_paths.h holds it.
#pragma once

#include <string>

namespace tavrel {

std::string UserConfigFolder();

}  // namespace tavrel
