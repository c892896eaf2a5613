// The lock every writer of the profile holds from reading the file to
// replacing it, so that two programs editing it at once (tavrelctl ports
// assign run twice, the window program storing its recent files while a
// script assigns a port) do not each write back what they read and lose the
// other's edit. Advisory: it is taken on a lock file beside the profile
// (its name and ".lock"), which stays there, since the profile itself is
// replaced by a new file at every write. Readers take no lock: a reader sees
// the old file or the new one, never half of one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace tavrel {

// How long a writer waits for another to finish its edit (a few
// milliseconds, unless a disk is slow to flush).
inline constexpr std::chrono::milliseconds kProfileLockWait{5000};

// The lock file beside `profilePath`.
inline std::string ProfileLockPath(const std::string& profilePath) {
  return profilePath + ".lock";
}

class ProfileLock {
 public:
  // Waits up to `wait` for the lock on the profile at `profilePath`, whose
  // folder must exist. Null when another program still held it then, with
  // the reason in `reason`. Where no lock file can be made (a folder the
  // user may not write), the profile itself is locked instead, as every
  // writer there must do.
  static std::unique_ptr<ProfileLock> Acquire(const std::string& profilePath,
                                              std::chrono::milliseconds wait, std::string* reason);
  ~ProfileLock();
  ProfileLock(const ProfileLock&) = delete;
  ProfileLock& operator=(const ProfileLock&) = delete;

 private:
  explicit ProfileLock(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;  // the locked file, as the platform holds it; -1 for none
};

}  // namespace tavrel
