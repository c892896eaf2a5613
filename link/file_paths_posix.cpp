#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "link/file_paths.h"

namespace tavrel {

std::filesystem::path FileSystemPath(const std::string& path) {
  return path;
}

std::string PathText(const std::filesystem::path& path) {
  return path.string();
}

int OpenFileDescriptor(const std::string& path, int flags, int mode) {
  return ::open(path.c_str(), flags, mode);
}

std::FILE* OpenFileStream(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

FileKind KindOfFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? FileKind::kMissing : FileKind::kCannotTell;
  }
  if (S_ISREG(info.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(info.st_mode)) return FileKind::kFolder;
  return FileKind::kOther;
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace tavrel
