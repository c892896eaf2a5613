// The adjustment log's file and clock on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "model/adjustment_log.h"

namespace tavrel {
namespace {

// A spreadsheet marks a file it has open with this file in the same folder.
std::string SpreadsheetLockPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + ".~lock." + name + "#";
}

bool LockWholeFile(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // to the end, however far it grows
  return fcntl(fd, F_SETLK, &lock) == 0;
}

}  // namespace

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::unique_ptr<AdjustmentLogFile> AdjustmentLogFile::Open(const std::string& path) {
  struct stat info {};
  if (lstat(SpreadsheetLockPath(path).c_str(), &info) == 0) return nullptr;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  if (!LockWholeFile(fd)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<AdjustmentLogFile>(new AdjustmentLogFile(fd));
}

AdjustmentLogFile::~AdjustmentLogFile() {
  // Closing drops the fcntl lock and, as the last descriptor, the flock.
  ::close(fd_);
}

bool AdjustmentLogFile::Append(std::string_view record) {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return false;
  std::string bytes;
  if (info.st_size == 0) bytes = AdjustmentLogHeader();
  bytes += record;

  // O_APPEND puts every write at the end of the file; a regular file takes
  // the whole record in one call unless the disk fills up.
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // Only our own bytes are cut off: the locks keep other writers out.
      if (written > 0) {
        const int truncated = ftruncate(fd_, info.st_size);
        (void)truncated;
      }
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return fsync(fd_) == 0;
}

}  // namespace tavrel
