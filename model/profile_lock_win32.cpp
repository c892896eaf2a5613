// The profile's lock on Windows: an exclusive lock on the whole lock file
// (LockFileEx), which the system lets go of when a process ends. The file is
// opened sharing everything, so the lock, not the open, decides.
#include <windows.h>

#include "link/file_paths.h"
#include "model/profile_lock.h"
#include "model/profile_lock_platform.h"

namespace tavrel::profile_lock {
namespace {

HANDLE OpenShared(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileW(WideText(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::intptr_t OpenTarget(const std::string& profilePath) {
  const std::string lockPath = ProfileLockPath(profilePath);
  HANDLE file = OpenShared(lockPath, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) file = OpenShared(lockPath, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) file = OpenShared(profilePath, GENERIC_READ, OPEN_EXISTING);
  return file == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<std::intptr_t>(file);
}

Attempt TryLock(std::intptr_t file) {
  OVERLAPPED whole{};
  if (LockFileEx(reinterpret_cast<HANDLE>(file),
                 LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                 &whole)) {
    return Attempt::kLocked;
  }
  const DWORD error = GetLastError();
  return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Attempt::kBusy
                                                                    : Attempt::kUnsupported;
}

void Close(std::intptr_t file) {
  CloseHandle(reinterpret_cast<HANDLE>(file));
}

void Pause(int ms) {
  Sleep(static_cast<DWORD>(ms));
}

}  // namespace tavrel::profile_lock
