// Saving over a file the way the file system allows: refused where the user
// may not write, links and hard links kept, mode and owner kept, in place
// where no temporary file can be made. Permission cases run in a child that
// gives up root first, since root may write anything.
#include "model/file_replace.h"

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::FolderNames;
using testing::ReadByteVector;
using testing::Nobody;
using testing::RunAsOrdinaryUser;
using testing::WriteBytes;

const Bytes kOld(600, 0x11);
const Bytes kNew(540, 0x22);

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

class FileReplaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrel-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    ::chmod(folder.c_str(), 0755);  // the ordinary user must reach the files
  }
  void TearDown() override {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (!entry.is_symlink() && entry.is_directory()) ::chmod(entry.path().c_str(), 0755);
    fs::remove_all(folder);
  }

  // The file belongs to the user the permission cases run as.
  static void GiveToOrdinaryUser(const fs::path& path) {
    ASSERT_TRUE(testing::GiveToOrdinaryUser(path));
  }

  fs::path folder;
};

TEST_F(FileReplaceTest, AsAnOrdinaryUserTheFileSystemDecides) {
  // A read-only file in a folder anyone may write.
  const fs::path open = folder / "open";
  fs::create_directory(open);
  ::chmod(open.c_str(), 0777);
  const fs::path readOnly = open / "read-only.tdx";
  WriteBytes(readOnly, kOld);
  GiveToOrdinaryUser(readOnly);
  ::chmod(readOnly.c_str(), 0444);

  // A writable file in a folder the user may not write.
  const fs::path closed = folder / "closed";
  fs::create_directory(closed);
  const fs::path writable = closed / "writable.tdx";
  WriteBytes(writable, kOld);
  GiveToOrdinaryUser(writable);
  ::chmod(writable.c_str(), 0644);
  ::chmod(closed.c_str(), 0555);
  const ino_t inode = StatOf(writable).st_ino;

  // A file the user may write, in a sticky folder: as root the file is
  // root's, so the folder lets the ordinary user write it but not replace it.
  const fs::path sticky = folder / "sticky";
  fs::create_directory(sticky);
  ::chmod(sticky.c_str(), 01777);
  const fs::path shared = sticky / "shared.tdx";
  WriteBytes(shared, kOld);
  ::chmod(shared.c_str(), 0666);
  const struct stat sharedBefore = StatOf(shared);

  const int refused = RunAsOrdinaryUser([&] { return ReplaceFileContents(readOnly, kNew); });
  if (refused == -1) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(refused, EACCES);
  EXPECT_EQ(ReadByteVector(readOnly), kOld);
  EXPECT_EQ(FolderNames(open), std::vector<std::string>{"read-only.tdx"});  // no temporary left

  // No temporary file can be made beside it: written in place.
  EXPECT_EQ(RunAsOrdinaryUser([&] { return ReplaceFileContents(writable, kNew); }), 0);
  EXPECT_EQ(ReadByteVector(writable), kNew);
  EXPECT_EQ(StatOf(writable).st_ino, inode);
  EXPECT_EQ(StatOf(writable).st_mode & 07777, 0644u);

  // Nor can a new file be made there.
  EXPECT_EQ(RunAsOrdinaryUser([&] { return ReplaceFileContents(closed / "new.tdx", kNew); }),
            EACCES);
  EXPECT_EQ(FolderNames(closed), std::vector<std::string>{"writable.tdx"});

  EXPECT_EQ(RunAsOrdinaryUser([&] { return ReplaceFileContents(shared, kNew); }), 0);
  EXPECT_EQ(ReadByteVector(shared), kNew);
  EXPECT_EQ(StatOf(shared).st_uid, sharedBefore.st_uid);
  if (::geteuid() == 0) {
    EXPECT_EQ(StatOf(shared).st_ino, sharedBefore.st_ino);
  }
  EXPECT_EQ(FolderNames(sticky), std::vector<std::string>{"shared.tdx"});
}

// A temporary file that fails for a reason other than the folder's permission
// (here: no descriptor left; a full disk alike) fails the save: a rewrite in
// place could stop half-way and leave half a file.
TEST_F(FileReplaceTest, NoTemporaryFileForWantOfResourcesFailsTheSave) {
  const fs::path target = folder / "a.tdx";
  WriteBytes(target, kOld);
  const pid_t child = ::fork();
  if (child == 0) {
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    // Room for the target's own descriptor, none for a temporary file.
    const rlimit limit{static_cast<rlim_t>(lowestFree + 1), static_cast<rlim_t>(lowestFree + 1)};
    if (lowestFree < 0 || ::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::_exit(255);
    ::_exit(ReplaceFileContents(target.string(), kNew));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), EMFILE);
  EXPECT_EQ(ReadByteVector(target), kOld);
}

TEST_F(FileReplaceTest, HardLinkedFileIsRewrittenInPlaceForEveryName) {
  const fs::path file = folder / "camera.tdx";
  WriteBytes(file, kOld);
  fs::create_hard_link(file, folder / "other-name.tdx");
  const ino_t inode = StatOf(file).st_ino;

  EXPECT_EQ(ReplaceFileContents(file, kNew), 0);
  EXPECT_EQ(ReadByteVector(folder / "other-name.tdx"), kNew);  // also cut to the new size
  EXPECT_EQ(StatOf(file).st_ino, inode);
  EXPECT_EQ(StatOf(file).st_nlink, 2u);
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"camera.tdx", "other-name.tdx"}));
}

TEST_F(FileReplaceTest, ReplacedFileKeepsModeOwnerAndGroup) {
  // As root the file is given to another user and group first, and also
  // saved by that user, its owner; otherwise they are the user's own. The
  // set-id and sticky bits are kept too, where the file system takes them
  // (an executable's set-id bits are what a change of owner clears).
  struct Saver {
    const char* who;
    bool asOwner;
  };
  for (const Saver saver : {Saver{"this user", false}, Saver{"the owner", true}}) {
    if (saver.asOwner && (::geteuid() != 0 || Nobody() == nullptr)) continue;
    SCOPED_TRACE(saver.who);
    // The owner replaces files by rename only in a folder of their own.
    const fs::path place = folder / (saver.asOwner ? "owners" : "any");
    fs::create_directory(place);
    GiveToOrdinaryUser(place);
    for (const mode_t mode : {0604, 02604, 01604, 06755}) {
      SCOPED_TRACE(std::to_string(mode));
      const fs::path file = place / ("camera-" + std::to_string(mode) + ".tdx");
      WriteBytes(file, kOld);
      GiveToOrdinaryUser(file);
      ::chmod(file.c_str(), mode);
      const struct stat before = StatOf(file);
      if ((before.st_mode & 07777) != mode) continue;  // not kept by this file system

      const int saved = saver.asOwner
                            ? RunAsOrdinaryUser([&] { return ReplaceFileContents(file, kNew); })
                            : ReplaceFileContents(file, kNew);
      EXPECT_EQ(saved, 0);
      const struct stat after = StatOf(file);
      EXPECT_EQ(ReadByteVector(file), kNew);
      EXPECT_NE(after.st_ino, before.st_ino);  // replaced whole, by rename
      EXPECT_EQ(after.st_mode & 07777, mode);
      EXPECT_EQ(after.st_uid, before.st_uid);
      EXPECT_EQ(after.st_gid, before.st_gid);
    }
  }
}

TEST_F(FileReplaceTest, SymbolicLinksStayAndTheFileTheyNameIsReplaced) {
  const fs::path elsewhere = folder / "elsewhere";
  fs::create_directory(elsewhere);
  WriteBytes(elsewhere / "real.tdx", kOld);
  fs::create_symlink(elsewhere / "real.tdx", folder / "absolute.tdx");
  fs::create_symlink("elsewhere/real.tdx", folder / "relative.tdx");
  fs::create_symlink("relative.tdx", folder / "chain.tdx");
  fs::create_symlink("elsewhere/not-yet.tdx", folder / "dangling.tdx");

  const struct {
    const char* link;
    const char* target;
  } cases[] = {{"absolute.tdx", "elsewhere/real.tdx"},
               {"relative.tdx", "elsewhere/real.tdx"},
               {"chain.tdx", "elsewhere/real.tdx"},
               {"dangling.tdx", "elsewhere/not-yet.tdx"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.link);
    WriteBytes(elsewhere / "real.tdx", kOld);
    EXPECT_EQ(ReplaceFileContents((folder / c.link).string(), kNew), 0);
    EXPECT_TRUE(fs::is_symlink(folder / c.link));
    EXPECT_EQ(ReadByteVector(folder / c.target), kNew);
  }

  // A link named without a folder, from the current folder.
  WriteBytes(elsewhere / "real.tdx", kOld);
  const fs::path saved = fs::current_path();
  fs::current_path(folder);
  EXPECT_EQ(ReplaceFileContents("relative.tdx", kNew), 0);
  fs::current_path(saved);
  EXPECT_TRUE(fs::is_symlink(folder / "relative.tdx"));
  EXPECT_EQ(ReadByteVector(elsewhere / "real.tdx"), kNew);

  fs::create_symlink("loop-b.tdx", folder / "loop-a.tdx");
  fs::create_symlink("loop-a.tdx", folder / "loop-b.tdx");
  EXPECT_EQ(ReplaceFileContents((folder / "loop-a.tdx").string(), kNew), ELOOP);
  EXPECT_TRUE(fs::is_symlink(folder / "loop-a.tdx"));
}

}  // namespace
}  // namespace tavrel
