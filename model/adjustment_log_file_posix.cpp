// The adjustment log's file and clock on POSIX systems: the file is held with
// an exclusive flock and an fcntl write lock, both taken without waiting.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"

namespace tavrel {
namespace {

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
  if (log_file::MarkedOpenBySpreadsheet(path)) return nullptr;
  // O_APPEND puts every write at the end of the file.
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

namespace log_file {

std::int64_t Size(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  for (;;) {
    const ssize_t n = ::write(fd, data, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

bool Truncate(int fd, std::int64_t size) {
  return ftruncate(fd, static_cast<off_t>(size)) == 0;
}

bool Sync(int fd) {
  return fsync(fd) == 0;
}

}  // namespace log_file
}  // namespace tavrel
