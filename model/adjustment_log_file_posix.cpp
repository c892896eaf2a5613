// The adjustment log's file and clock on POSIX systems: the file is held with
// an exclusive flock and an fcntl write lock, both taken without waiting.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"
#include "serial/file_holders.h"

namespace tavrel {
namespace {

bool IsBusy(int error) {
  return error == EWOULDBLOCK || error == EAGAIN || error == EACCES;
}

// Returns 0, or the errno of the lock that could not be taken.
int LockWholeFile(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return errno;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // to the end, however far it grows
  return fcntl(fd, F_SETLK, &lock) == 0 ? 0 : errno;
}

}  // namespace

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

namespace log_file {

OpenAttempt TryOpen(const std::string& path) {
  OpenAttempt attempt;
  // O_APPEND puts every write at the end of the file.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    attempt.reason = std::strerror(errno);
    return attempt;
  }
  const int error = LockWholeFile(fd);
  if (error != 0) {
    ::close(fd);
    attempt.busy = IsBusy(error);
    attempt.reason = std::strerror(error);
    return attempt;
  }
  attempt.fd = fd;
  return attempt;
}

void Close(int fd) {
  // Closing drops the fcntl lock and, as the last descriptor, the flock.
  ::close(fd);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

std::string NewFileRefusal(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
  // Making a file takes writing and searching the folder (a read-only file
  // system says so here too).
  if (access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

std::int64_t Size(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::int64_t Write(int fd, const char* data, std::size_t size) {
  errno = 0;
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

void Pause(int ms) {
  timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

std::string ThisHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool HeldOpenOnThisMachine(const std::vector<std::string>& paths) {
  const FileHolders holders = FindFileHolders(paths);
  // Without /proc no holder can be seen: the lock is taken at its word.
  if (!holders.seen) return true;
  const int self = getpid();
  for (const std::vector<FileHolder>& list : holders.byPath) {
    for (const FileHolder& holder : list) {
      if (holder.pid != self) return true;
    }
  }
  return false;
}

}  // namespace log_file
}  // namespace tavrel
