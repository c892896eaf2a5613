// The adjustment log's file and clock on Windows: the file is opened denying
// every other program reading or writing it (a spreadsheet that has it open
// makes the open fail), in binary mode so the CR LF of the records is kept.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "link/file_paths.h"
#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"

namespace tavrel {

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

namespace log_file {

OpenAttempt TryOpen(const std::string& path) {
  OpenAttempt attempt;
  int fd = -1;
  if (_wsopen_s(&fd, WideText(path).c_str(),
                _O_RDWR | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT, _SH_DENYRW,
                _S_IREAD | _S_IWRITE) != 0) {
    // The runtime says EACCES for a file held by another program and for one
    // the user may not write; the system's own code tells them apart.
    const unsigned long systemError = _doserrno;
    attempt.busy = systemError == ERROR_SHARING_VIOLATION || systemError == ERROR_LOCK_VIOLATION;
    attempt.reason = std::strerror(errno);
    return attempt;
  }
  attempt.fd = fd;
  return attempt;
}

void Close(int fd) {
  _close(fd);
}

std::int64_t Size(int fd) {
  return _filelengthi64(fd);
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

bool Truncate(int fd, std::int64_t size) {
  return _chsize_s(fd, size) == 0;
}

bool Sync(int fd) {
  return _commit(fd) == 0;
}

std::string LastErrorText() {
  return std::strerror(errno != 0 ? errno : ENOSPC);
}

void Pause(int ms) {
  Sleep(static_cast<DWORD>(ms));
}

std::string ThisHostName() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size)) return {};
  return name;
}

bool HeldOpenOnThisMachine(const std::vector<std::string>&) {
  // Here the open that denies sharing finds a program still holding the file;
  // the lock file beside it adds nothing.
  return false;
}

}  // namespace log_file
}  // namespace tavrel
