// Which processes of this machine hold files open, read from /proc: for the
// port list ("busy, by whom") and for the adjustment log, which waits while
// a spreadsheet here still holds the log. Linux only.
#pragma once

#include <string>
#include <vector>

namespace tavrel {

struct FileHolder {
  int pid = 0;
  std::string command;  // the process's name, "minicom"
};

struct FileHolders {
  // False when no process can be looked into here (no /proc): nobody is
  // seen, which says nothing.
  bool seen = true;
  // One list per path asked about, in order; each process once in a list.
  std::vector<std::vector<FileHolder>> byPath;
};

// The processes this user may look into (their own, or all for root) that
// hold one of `paths` open, this process among them. A device is found
// however it was opened (by a link, or another node of the same device).
// Paths that name nothing are held by no one; when none names anything, no
// process is read. `proc` is where the processes are read from (tests give
// a tree of their own).
FileHolders FindFileHolders(const std::vector<std::string>& paths,
                            const std::string& proc = "/proc");

}  // namespace tavrel
