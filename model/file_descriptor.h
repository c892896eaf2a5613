// An open file descriptor that is closed when it goes out of scope, and the
// open flag that keeps a Windows build from changing a file's bytes.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#ifndef O_BINARY
#define O_BINARY 0  // only Windows tells text files from binary ones
#endif

namespace tavrel {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fd_; }
  // Closes now, reporting the result (a deferred write error shows up here).
  bool Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

}  // namespace tavrel
