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

bool Exists(const std::string& path) {
  if (GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::string NewFileRefusal(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  const std::string folder = separator == std::string::npos ? "." : path.substr(0, separator + 1);
  const DWORD attributes = GetFileAttributesW(WideText(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::strerror(ENOENT);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::strerror(ENOTDIR);
  // The folder's access rules decide; a file the system removes once it is
  // closed asks them without leaving anything behind.
  const std::string probe =
      folder + (separator == std::string::npos ? "\\" : "") + "~tavrel-log-check.tmp";
  int fd = -1;
  if (_wsopen_s(&fd, WideText(probe).c_str(),
                _O_RDWR | _O_CREAT | _O_EXCL | _O_TEMPORARY | _O_NOINHERIT, _SH_DENYRW,
                _S_IREAD | _S_IWRITE) != 0) {
    // Another program checking at the same moment holds the probe: the folder takes files.
    return errno == EEXIST ? std::string() : std::string(std::strerror(errno));
  }
  _close(fd);
  return {};
}

std::int64_t Size(int fd) {
  return _filelengthi64(fd);
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  errno = 0;
  return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

bool Truncate(int fd, std::int64_t size) {
  return _chsize_s(fd, size) == 0;
}

bool Sync(int fd) {
  return _commit(fd) == 0;
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
