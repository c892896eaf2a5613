// The adjustment log's file and clock on Windows: the file is opened denying
// every other program reading or writing it (a spreadsheet that has it open
// makes the open fail), in binary mode so the CR LF of the records is kept.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <ctime>

#include "model/adjustment_log.h"

namespace tavrel {
namespace {

// Some spreadsheets also mark a file they have open with this file beside it.
std::string SpreadsheetLockPath(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + ".~lock." + name + "#";
}

}  // namespace

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::unique_ptr<AdjustmentLogFile> AdjustmentLogFile::Open(const std::string& path) {
  if (GetFileAttributesA(SpreadsheetLockPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
    return nullptr;
  }
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

bool AdjustmentLogFile::Append(std::string_view record) {
  const long long size = _filelengthi64(fd_);
  if (size < 0) return false;
  std::string bytes;
  if (size == 0) bytes = AdjustmentLogHeader();
  bytes += record;

  std::size_t written = 0;
  while (written < bytes.size()) {
    const int n =
        _write(fd_, bytes.data() + written, static_cast<unsigned>(bytes.size() - written));
    if (n <= 0) {
      // Only our own bytes are cut off: no other program has the file open.
      if (written > 0) (void)_chsize_s(fd_, size);
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return _commit(fd_) == 0;
}

}  // namespace tavrel
