// A pseudo-terminal pair for serial tests: the link opens the slave side as
// its COM port, the test plays the camera on the master side.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace tavrel::testing {

class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
      slavePath_ = name;
      // A program the test starts must not keep the camera's end open.
      fcntl(master_, F_SETFD, FD_CLOEXEC);
      // Keep a raw line so bytes pass unchanged in both directions.
      termios raw{};
      tcgetattr(slave, &raw);
      cfmakeraw(&raw);
      tcsetattr(slave, TCSANOW, &raw);
      close(slave);
    }
  }
  ~PtyPair() {
    if (master_ >= 0) close(master_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // The camera's end goes away: the slave side hangs up.
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace tavrel::testing
