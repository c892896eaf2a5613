// The window program's profile store as a plain INI file, for tavrelctl,
// which runs without the window system. The file is read and written by the
// window program's own rules (model/profile_ini.h): only the one value
// tavrelctl writes changes; every other setting keeps its value, and the file
// is left in the plain form the window program writes.
#pragma once

#include <string>

namespace tavrel::cli {

// Where the window program keeps its profile: the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config), then "Talbrook/ TAVREL CONTROL.ini".
std::string ProfileFilePath();

// Sets `entry` in `section` (section names compared without regard to case,
// as the window program does) to the decimal `value`, creating the file,
// folder, section or entry as needed. The file is replaced whole as a
// settings file is saved (a reader never sees half of it; a link is followed,
// the mode kept). A file that is there but cannot be read is not touched.
// Returns the system's reason on failure, else an empty text.
std::string WriteProfileInt(const std::string& path, const std::string& section,
                            const std::string& entry, int value);

}  // namespace tavrel::cli
