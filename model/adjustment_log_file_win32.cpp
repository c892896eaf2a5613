// The adjustment log's file and clock on Windows: the file is opened denying
// every other program reading or writing it (a spreadsheet that has it open
// makes the open fail), in binary mode so the CR LF of the records is kept.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <ctime>

#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"

namespace tavrel {

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::unique_ptr<AdjustmentLogFile> AdjustmentLogFile::Open(const std::string& path) {
  if (log_file::MarkedOpenBySpreadsheet(path)) return nullptr;
  int fd = -1;
  if (_sopen_s(&fd, path.c_str(), _O_RDWR | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT,
               _SH_DENYRW, _S_IREAD | _S_IWRITE) != 0) {
    return nullptr;
  }
  return std::unique_ptr<AdjustmentLogFile>(new AdjustmentLogFile(fd));
}

AdjustmentLogFile::~AdjustmentLogFile() {
  _close(fd_);
}

namespace log_file {

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

}  // namespace log_file
}  // namespace tavrel
