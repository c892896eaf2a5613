// An open file descriptor that is closed when it goes out of scope, and the
// open flag that keeps a Windows build from changing a file's bytes.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>

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

// Writes all `size` bytes, as many calls as it takes. False with errno set
// when a write fails (EIO for one that takes nothing).
inline bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    // Windows takes at most INT_MAX bytes a call.
    const auto chunk = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
    const auto written = ::write(fd, bytes, chunk);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace tavrel
