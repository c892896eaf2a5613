// The lock file a spreadsheet leaves beside a file it has open for editing,
// ".~lock.NAME#": one line of five fields, each ended by ',' except the last,
// which ends with ';' (the user's full name, the login name, the host name,
// the time opened as "DD.MM.YYYY HH:MM", the spreadsheet's profile folder), a
// backslash escaping ',', ';' or itself. It names no process: a spreadsheet
// that crashed leaves it behind, and only the host tells where to look for
// an owner still at work.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct SpreadsheetLockOwner {
  std::string fullName;
  std::string userName;
  std::string host;
  std::string openedAt;
};

// The lock file that marks `path` as open: ".~lock.NAME#" in the same folder.
std::string SpreadsheetLockPath(const std::string& path);

// The owner named by a lock file's content; none for an empty or malformed
// one (a spreadsheet that ended while writing it).
std::optional<SpreadsheetLockOwner> ParseSpreadsheetLock(std::string_view content);

// Whether the host named in a lock file is `thisHost`: names are compared
// without regard to case and to a domain part on either side
// ("station4.plant.example" is "STATION4"); "localhost" is every host.
bool IsThisHost(std::string_view lockHost, std::string_view thisHost);

// "locked by anna on station4 since 08.12.2026 21:05", for the user.
std::string SpreadsheetLockText(const SpreadsheetLockOwner& owner);

}  // namespace tavrel
