#include "serial/file_holders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// What a path or an open descriptor leads to: a device by its number, as
// every node and link of it shares that; any other file by its inode.
struct FileIdentity {
  bool device = false;
  dev_t number = 0;  // the device's, or the file system's
  ino_t inode = 0;   // 0 for a device
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
  if (S_ISCHR(info.st_mode)) return FileIdentity{true, info.st_rdev, 0};
  return FileIdentity{false, info.st_dev, info.st_ino};
}

// The process's name, without its line end.
std::string CommandOf(const fs::path& process) {
  std::ifstream in(process / "comm");
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

}  // namespace

FileHolders FindFileHolders(const std::vector<std::string>& paths, const std::string& proc) {
  FileHolders found;
  found.byPath.resize(paths.size());
  std::vector<std::optional<FileIdentity>> wanted;
  for (const std::string& path : paths) wanted.push_back(IdentityOf(path));
  if (std::none_of(wanted.begin(), wanted.end(), [](const auto& id) { return id.has_value(); })) {
    return found;
  }
  std::error_code error;
  fs::directory_iterator processes(proc, error);
  if (error || ::access((fs::path(proc) / "self" / "fd").c_str(), R_OK) != 0) {
    found.seen = false;
    return found;
  }
  for (const auto& process : processes) {
    const std::string pid = process.path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    // Another user's programs cannot be looked into; they pass unseen.
    std::error_code unreadable;
    std::vector<bool> holds(paths.size(), false);
    for (const auto& fd : fs::directory_iterator(process.path() / "fd", unreadable)) {
      const std::optional<FileIdentity> open = IdentityOf(fd.path().string());
      if (!open) continue;
      for (std::size_t i = 0; i < paths.size(); ++i) holds[i] = holds[i] || wanted[i] == open;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
      if (holds[i]) found.byPath[i].push_back({std::stoi(pid), CommandOf(process.path())});
    }
  }
  return found;
}

}  // namespace tavrel
