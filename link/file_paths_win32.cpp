#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "link/file_paths.h"

namespace tavrel {

std::filesystem::path FileSystemPath(const std::string& path) {
  return WideText(path);
}

std::string PathText(const std::filesystem::path& path) {
  return Utf8Text(path.native());
}

namespace {

int ErrnoOfOpen(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

}  // namespace

int OpenFileDescriptor(const std::string& path, int flags, int mode) {
  if ((flags & (_O_WRONLY | _O_RDWR | _O_CREAT | _O_TRUNC | _O_APPEND)) != 0) {
    return _wopen(WideText(path).c_str(), flags, mode);
  }
  // A file only read lets others replace or delete it meanwhile, as on Linux:
  // a program saving the profile or a settings file while another reads it
  // must not be refused (the runtime's _wopen shares no deletion).
  const HANDLE file = CreateFileW(WideText(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = ErrnoOfOpen(GetLastError());
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags & (_O_BINARY | _O_TEXT));
  if (fd < 0) CloseHandle(file);
  return fd;
}

std::FILE* OpenFileStream(const std::string& path, const char* mode) {
  return _wfopen(WideText(path).c_str(), WideText(mode).c_str());
}

FileKind KindOfFile(const std::string& path) {
  struct _stat64 info {};
  if (_wstat64(WideText(path).c_str(), &info) != 0) {
    return errno == ENOENT ? FileKind::kMissing : FileKind::kCannotTell;
  }
  switch (info.st_mode & _S_IFMT) {
    case _S_IFREG:
      return FileKind::kRegular;
    case _S_IFDIR:
      return FileKind::kFolder;
    default:
      return FileKind::kOther;
  }
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\:");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace tavrel
