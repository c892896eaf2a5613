// The per-user profile on disk: where it lives and how one value in it is read
// or written. The window program (through ui/profile_store.h) and
// tavrelctl keep their settings here alike: the last COM port, the recent
// files, the last serial number written.
//
// Every call reads the file afresh, so each program sees what the other wrote.
// A write changes only the entry it writes (the file's text rules are in
// model/profile_ini.h) and replaces the file whole, as a settings file is
// saved: a reader never sees half of it, a link is followed, the mode kept.
// Writers hold the profile's lock from the read to the replace
// (model/profile_lock.h), so edits made at once by several programs are all
// kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// The user's configuration folder (model/user_config_folder.h), then
// "Talbrook/ TAVREL CONTROL.ini".
std::string ProfileFilePath();

// The value of `entry` in `section` (section names compared without regard to
// case); none when the file, the section or the entry is not there, or the
// file cannot be read.
std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section,
                                             std::string_view entry);
// As above, for a decimal integer; none also when the value is not one.
std::optional<int> ReadProfileInt(const std::string& path, std::string_view section,
                                  std::string_view entry);

// Sets `entry` in `section` to `value`, creating the file, folder, section or
// entry as needed; an empty value removes the entry. A file that is there but
// cannot be read, or is not text, is not touched; nor is one another writer
// keeps locked for longer than kProfileLockWait. Returns the reason on
// failure, else an empty text.
std::string WriteProfileString(const std::string& path, std::string_view section,
                               std::string_view entry, std::string_view value);
std::string WriteProfileInt(const std::string& path, std::string_view section,
                            std::string_view entry, int value);

}  // namespace tavrel
