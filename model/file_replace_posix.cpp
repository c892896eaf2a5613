#include "model/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "model/file_descriptor.h"

namespace tavrel {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// The file a chain of symbolic links ends at, which need not exist yet (a
// save through a dangling link creates the file it names).
bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t length = ::readlink(target.c_str(), link, sizeof link);
    if (length < 0) return false;
    if (static_cast<std::size_t>(length) == sizeof link) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string next(link, static_cast<std::size_t>(length));
    target = next.starts_with('/') ? next : FolderOf(target) + next;
  }
  errno = ELOOP;
  return false;
}

mode_t ModeForNewFile() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void SyncFolder(const std::string& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() >= 0) ::fsync(fd.Get());
}

// Rewrites an open file from its start. Not atomic: the caller had no other
// way that keeps the file what it is. The new bytes go over the old ones
// before the rest is cut off, so no space is given up before it is needed.
int RewriteInPlace(FileDescriptor& file, std::span<const std::uint8_t> bytes, bool regular) {
  if (!WriteAll(file.Get(), bytes.data(), bytes.size())) return errno;
  if (regular) {
    if (::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0) return errno;
    if (::fsync(file.Get()) != 0) return errno;
  }
  return file.Close() ? 0 : errno;
}

// What became of a save by rename: done, failed with an errno, or not
// possible here (no temporary file beside the target, or the folder refuses
// to let this user replace the target, as a sticky folder does).
struct RenameResult {
  bool possible = true;
  int error = 0;
};

// Writes a temporary file beside `target` and renames it over `target`.
RenameResult ReplaceByRename(const std::string& target, const struct stat* old,
                             std::span<const std::uint8_t> bytes) {
  const std::string folder = FolderOf(target);
  const std::size_t slash = target.find_last_of('/');
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = folder + "." + name + ".XXXXXX";
  FileDescriptor file(::mkstemp(temporary.data()));
  // Only a folder the user may not write rules out the temporary file; a
  // full disk or quota would also break a rewrite in place half-way.
  if (file.Get() < 0) return {errno != EACCES && errno != EPERM, errno};

  // Ownership, then the contents, then the mode: a change of owner and an
  // ordinary user's write both clear set-id bits, which the mode restores.
  // Owner and group may be refused to an ordinary user; the save goes on
  // without.
  if (old != nullptr && ::fchown(file.Get(), old->st_uid, old->st_gid) != 0) {
    (void)::fchown(file.Get(), static_cast<uid_t>(-1), old->st_gid);
  }
  bool written = WriteAll(file.Get(), bytes.data(), bytes.size());
  if (written) {
    (void)::fchmod(file.Get(), old != nullptr ? (old->st_mode & 07777) : ModeForNewFile());
  }
  written = written && ::fsync(file.Get()) == 0 && file.Close();
  const bool renamed = written && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!renamed) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return {!(written && (error == EPERM || error == EACCES)), error};
  }
  SyncFolder(folder);
  return {};
}

}  // namespace

int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (path.empty()) return ENOENT;
  std::string target;
  if (!FollowLinks(path, target)) return errno;

  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) {
    if (errno != ENOENT) return errno;
    // A new file: only the folder's permission counts.
    return ReplaceByRename(target, nullptr, bytes).error;
  }
  if (S_ISDIR(old.st_mode)) return EISDIR;

  // Opening for writing asks the system whether this user may change the
  // file (mode, read-only mount, immutable flag); a rename would not.
  // Non-blocking so that a FIFO without a reader fails instead of hanging
  // (it changes nothing for a regular file).
  FileDescriptor file(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) return errno;

  const bool regular = S_ISREG(old.st_mode);
  if (regular && old.st_nlink == 1) {
    const RenameResult renamed = ReplaceByRename(target, &old, bytes);
    if (renamed.possible) return renamed.error;
  }
  return RewriteInPlace(file, bytes, regular);
}

}  // namespace tavrel
