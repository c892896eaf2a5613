#include "serial/file_holders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// Pseudo-terminal slaves are character devices 136 to 143, numbered on.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

// The number of the pseudo-terminal whose slave `id` is (/dev/pts/<n>), or
// none.
std::optional<long> PtyNumberOf(const std::optional<FileIdentity>& id) {
  if (!id || !id->device) return std::nullopt;
  const unsigned deviceMajor = major(id->number);
  if (deviceMajor < kFirstPtySlaveMajor || deviceMajor > kLastPtySlaveMajor) return std::nullopt;
  return static_cast<long>((deviceMajor - kFirstPtySlaveMajor) * 256 + minor(id->number));
}

// What the kernel tells of one open descriptor (<proc>/<pid>/fdinfo/<fd>):
// the pseudo-terminal a master descriptor belongs to ("tty-index:"), and
// whether the descriptor holds a lock ("lock:").
struct DescriptorInfo {
  std::optional<long> masterOf;
  bool locked = false;
};

DescriptorInfo InfoOf(const fs::path& process, const fs::path& fd) {
  DescriptorInfo info;
  std::ifstream in(process / "fdinfo" / fd.filename());
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("tty-index:", 0) == 0) {
      try {
        info.masterOf = std::stol(line.substr(10));
      } catch (const std::exception&) {
      }
    } else if (line.rfind("lock:", 0) == 0) {
      info.locked = true;
    }
  }
  return info;
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
  std::vector<std::optional<long>> ptys;
  for (const std::string& path : paths) {
    wanted.push_back(IdentityOf(path));
    ptys.push_back(PtyNumberOf(wanted.back()));
  }
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
    std::vector<bool> locks(paths.size(), false);
    std::vector<long> masters;
    for (const auto& fd : fs::directory_iterator(process.path() / "fd", unreadable)) {
      const std::optional<FileIdentity> open = IdentityOf(fd.path().string());
      if (!open) continue;
      const bool pty = PtyNumberOf(open).has_value();
      const bool ptmx = open->device && major(open->number) == 5 && minor(open->number) == 2;
      const DescriptorInfo info =
          pty || ptmx ? InfoOf(process.path(), fd.path()) : DescriptorInfo{};
      if (info.masterOf) masters.push_back(*info.masterOf);
      for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!(wanted[i] == open)) continue;
        holds[i] = true;
        locks[i] = locks[i] || info.locked;
      }
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
      if (!holds[i]) continue;
      // The program on a pseudo-terminal's master side (the virtual camera)
      // keeps its slave open so that the line does not hang up between
      // users: that is the far end, not a user of the line, unless it locked
      // the slave for itself as a program using the line does.
      const bool farEnd =
          ptys[i] && std::find(masters.begin(), masters.end(), *ptys[i]) != masters.end();
      if (farEnd && !locks[i]) continue;
      found.byPath[i].push_back({std::stoi(pid), CommandOf(process.path())});
    }
  }
  return found;
}

}  // namespace tavrel
