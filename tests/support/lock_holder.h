// A child process that holds a file with one kind of lock (flock or an fcntl
// write lock), or only open, until released: another program holding the
// file open.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace tavrel::testing {

class LockHolder {
 public:
  enum Kind { kFlock, kFcntl, kOpenOnly };

  // Returns once the child holds the lock or the open file (or failed to:
  // Locked()).
  LockHolder(const std::string& path, Kind kind) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0) return;
    if (pipe(release) != 0) {
      ::close(ready[0]);
      ::close(ready[1]);
      return;
    }
    child_ = fork();
    if (child_ == 0) {
      // The child must not keep the write end it waits on.
      ::close(ready[0]);
      ::close(release[1]);
      HoldInChild(path, kind, ready[1], release[0]);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 0;
    locked_ = child_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'L';
    ::close(ready[0]);
  }
  ~LockHolder() { Release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool Locked() const { return locked_; }

  // Lets the child go and waits for it; the lock is then free.
  void Release() {
    if (release_ >= 0) ::close(release_);
    release_ = -1;
    if (child_ > 0) {
      int status = 0;
      waitpid(child_, &status, 0);
    }
    child_ = -1;
  }

 private:
  // Only async-signal-safe calls after fork.
  [[noreturn]] static void HoldInChild(const std::string& path, Kind kind, int ready, int release) {
    // As another program would, it holds none of the test's own files (a
    // pseudo-terminal's master side among them).
    for (int inherited = 3; inherited < 1024; ++inherited) {
      if (inherited != ready && inherited != release) ::close(inherited);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0666);
    bool locked = fd >= 0 && kind == kOpenOnly;
    if (fd >= 0 && kind == kFlock) locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0 && kind == kFcntl) {
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      locked = fcntl(fd, F_SETLK, &lock) == 0;
    }
    const char answer = locked ? 'L' : 'F';
    if (::write(ready, &answer, 1) != 1) _exit(2);
    // Holds the lock until the parent closes its end of the pipe.
    char byte;
    while (::read(release, &byte, 1) > 0) {
    }
    _exit(0);
  }

  pid_t child_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

}  // namespace tavrel::testing
