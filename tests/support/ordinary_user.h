// Running part of a test as an ordinary user: root may open and write
// anything, so permission cases run in a child that gives up root first
// ("nobody") when the test runs as root.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace tavrel::testing {

// The user the permission cases run as when the test runs as root.
inline const struct passwd* Nobody() {
  return ::getpwnam("nobody");
}

// Runs `work` in a child process as an ordinary user and returns its result
// (0..254), or -1 when the child could not run.
inline int RunAsOrdinaryUser(const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0) {
      const struct passwd* nobody = Nobody();
      if (nobody == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
          ::setuid(nobody->pw_uid) != 0)
        ::_exit(255);
    }
    ::_exit(work());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// Gives `path` to the user RunAsOrdinaryUser runs as (nothing to do when the
// test does not run as root). False when that failed.
inline bool GiveToOrdinaryUser(const std::string& path) {
  if (::geteuid() != 0) return true;
  const struct passwd* nobody = Nobody();
  return nobody != nullptr && ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
}

}  // namespace tavrel::testing
