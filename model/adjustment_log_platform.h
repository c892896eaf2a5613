// What the adjustment log asks of the platform: opening and locking the file
// without waiting, its size, a write at its end, cutting it back and flushing
// it to disk, a short pause, and what a spreadsheet's lock file needs to be
// judged (this machine's name, and whether a program here holds a file open).
// One file per platform: adjustment_log_file_posix.cpp,
// adjustment_log_file_win32.cpp, which also close the file and tell the local
// time. The record itself is written in adjustment_log_file.cpp, the same
// everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::log_file {

struct OpenAttempt {
  int fd = -1;         // the file, open for appending and held against every other writer
  bool busy = false;   // another program holds the file: worth trying again
  std::string reason;  // the system's reason when not opened
};
// Opens the file for reading and appending, creating it where it is missing,
// and takes every lock the platform has on it, without waiting.
OpenAttempt TryOpen(const std::string& path);
// Closes what TryOpen opened, releasing its locks.
void Close(int fd);

// Whether something is at `path` for TryOpen to open (anything but "no such
// file" counts, so the open tells what else is wrong).
bool Exists(const std::string& path);
// Why no new file can be made at `path`: its folder is missing, is not a
// folder or does not let this user make files. Empty when it can; creates
// nothing that stays.
std::string NewFileRefusal(const std::string& path);

// The size in bytes; negative when it cannot be told.
std::int64_t Size(int fd);
// Writes up to `size` bytes at the end of the file (it is open for appending),
// carrying on after a signal; the count written, 0 or negative on failure.
std::int64_t Write(int fd, const char* data, std::size_t size);
// Cuts the file back to `size` bytes.
bool Truncate(int fd, std::int64_t size);
// Flushes what was written to disk.
bool Sync(int fd);
// The system's text for the last failed call above: each sets errno, as
// both platforms' C runtimes do (written once, in adjustment_log_file.cpp).
std::string LastErrorText();

// Waits `ms` milliseconds before the next attempt to open a held file.
void Pause(int ms);

// This machine's name, as a spreadsheet writes it into its lock file.
std::string ThisHostName();
// True when a program on this machine other than this one is seen holding
// any of the files open, or when no program can be looked into here. On
// Windows it is false: the open that denies sharing finds such a program.
bool HeldOpenOnThisMachine(const std::vector<std::string>& paths);

}  // namespace tavrel::log_file
