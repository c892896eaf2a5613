#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "link/file_paths.h"
#include "model/file_replace.h"

namespace tavrel {
namespace {

constexpr DWORD kHeldTargetWaitMs = 1000;

int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    default:
      return EIO;
  }
}

// Writes the whole file and flushes it to disk: 0 or an errno.
int WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ErrnoFor(GetLastError());
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  const DWORD error = ok ? 0 : GetLastError();
  CloseHandle(file);
  return ok ? 0 : ErrnoFor(error);
}

}  // namespace

// A temporary file beside the target, renamed over it, so a failed save
// never leaves half a file. A read-only target is refused, as the system
// refuses to write it.
int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (path.empty()) return ENOENT;
  const std::wstring target = WideText(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
    if (attributes & FILE_ATTRIBUTE_READONLY) return EACCES;
  }
  const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  if (const int error = WriteNewFile(temporary, bytes); error != 0) return error;
  // A program that has the target open to read it (another TAVREL program
  // reading the profile, a virus scanner) holds the rename off for a moment:
  // it is tried again for about a second before the save is refused.
  DWORD pauseMs = 2;
  for (DWORD waitedMs = 0;; waitedMs += pauseMs, pauseMs = std::min<DWORD>(pauseMs * 2, 100)) {
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    if (!held || waitedMs >= kHeldTargetWaitMs) {
      DeleteFileW(temporary.c_str());
      return ErrnoFor(error);
    }
    Sleep(pauseMs);
  }
}

}  // namespace tavrel
