// What the adjustment log asks of the platform, for an open log file: its
// size, a write at its end, cutting it back and flushing it to disk. One file
// per platform: adjustment_log_file_posix.cpp, adjustment_log_file_win32.cpp,
// which also open, lock and close the file and tell the local time. The record
// itself is written in adjustment_log_file.cpp, the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrel::log_file {

// The size in bytes; negative when it cannot be told.
std::int64_t Size(int fd);
// Writes up to `size` bytes at the end of the file (it is open for appending),
// carrying on after a signal; the count written, 0 or negative on failure.
std::int64_t Write(int fd, const char* data, std::size_t size);
// Cuts the file back to `size` bytes.
bool Truncate(int fd, std::int64_t size);
// Flushes what was written to disk.
bool Sync(int fd);

// True when a spreadsheet has marked the file as open with its lock file
// ".~lock.NAME#" beside it.
bool MarkedOpenBySpreadsheet(const std::string& path);

}  // namespace tavrel::log_file
