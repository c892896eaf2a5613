// The profile's lock on POSIX systems: an exclusive flock, which a process
// that ends lets go of however it ends.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "model/profile_lock.h"
#include "model/profile_lock_platform.h"

namespace tavrel::profile_lock {

std::intptr_t OpenTarget(const std::string& profilePath) {
  const std::string lockPath = ProfileLockPath(profilePath);
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  // Never a pipe's open that waits for a writer.
  if (fd < 0) fd = ::open(profilePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  return fd < 0 ? kNoFile : fd;
}

Attempt TryLock(std::intptr_t file) {
  for (;;) {
    if (flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return Attempt::kLocked;
    if (errno == EWOULDBLOCK) return Attempt::kBusy;
    if (errno != EINTR) return Attempt::kUnsupported;
  }
}

void Close(std::intptr_t file) {
  ::close(static_cast<int>(file));
}

void Pause(int ms) {
  timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace tavrel::profile_lock
