// The profile file on disk: where it lives, and that a write changes the one
// value it writes and nothing else.
#include "model/profile_file.h"
#include "model/profile_lock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/run_process.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScopedEnvironment;
using testing::TempFolder;
using testing::WriteBytes;

TEST(ProfileFile, LivesInTheUsersConfigurationFolder) {
  const ScopedEnvironment home("HOME", "/home/someone");
  const struct {
    const char* configHome;
    const char* path;
  } rows[] = {
      {"/tmp/config", "/tmp/config/Talbrook/ TAVREL CONTROL.ini"},
      // A relative folder is not a configuration folder.
      {"config", "/home/someone/.config/Talbrook/ TAVREL CONTROL.ini"},
      {nullptr, "/home/someone/.config/Talbrook/ TAVREL CONTROL.ini"},
  };
  for (const auto& row : rows) {
    const ScopedEnvironment config("XDG_CONFIG_HOME", row.configHome);
    EXPECT_EQ(ProfileFilePath(), row.path);
  }
}

// A file a person has edited keeps every byte but the value written: its
// comments, blank lines, line ends, order and spelling.
TEST(ProfileFile, AWriteChangesOnlyTheValueItWrites) {
  const TempFolder dir("profile-file");
  const std::string path = (dir / "profile.ini").string();
  const std::string before =
      "; kept by hand\r\n\r\n[Settings]\r\nCOM Port = 1\r\n\r\n# the last one written\r\n"
      "[Recent]\r\nLOMIRA-X=7\r\n";
  WriteBytes(path, before);
  EXPECT_EQ(WriteProfileInt(path, "RECENT", "LOMIRA-X", 12345), "");
  EXPECT_EQ(ReadBytes(path),
            "; kept by hand\r\n\r\n[Settings]\r\nCOM Port = 1\r\n\r\n# the last one written\r\n"
            "[Recent]\r\nLOMIRA-X=12345\r\n");
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM3", "/dev/ttyUSB0"), "");
  EXPECT_EQ(ReadProfileString(path, "com ports", "COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM3", ""), "");
  EXPECT_EQ(WriteProfileInt(path, "Recent", "LOMIRA-X", 7), "");
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(ProfileFile, ReadsWhatIsThereAndNothingElse) {
  const TempFolder dir("profile-file");
  const std::string path = (dir / "profile.ini").string();
  EXPECT_EQ(ReadProfileString(path, "Settings", "COM Port"), std::nullopt);
  // Removing what is not there makes no file.
  EXPECT_EQ(WriteProfileString(path, "Settings", "COM Port", ""), "");
  EXPECT_FALSE(fs::exists(path));

  WriteBytes(path,
             "[Settings]\nCOM Port=3\nBaud= +9600 \nName=COM\nBig=99999999999\nPadded=\" 5 \"\n");
  const struct {
    const char* entry;
    std::optional<int> value;
  } rows[] = {
      {"COM Port", 3},       {"Baud", 9600}, {"Name", std::nullopt},
      {"Big", std::nullopt}, {"Padded", 5},  {"Missing", std::nullopt},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ReadProfileInt(path, "settings", row.entry), row.value) << row.entry;
  EXPECT_EQ(ReadProfileString(path, "Settings", "Padded"), " 5 ");

  // A name no line can hold is refused, and the file is left as it was.
  const std::string kept = ReadBytes(path);
  EXPECT_NE(WriteProfileString(path, "Settings", "a=b", "1"), "");
  EXPECT_NE(WriteProfileString(path, "Set\ntings", "x", "1"), "");
  EXPECT_EQ(ReadBytes(path), kept);
}

TEST(ProfileFile, SetsTheOneValueAndKeepsEverythingElse) {
  const TempFolder dir("tavrelctl-profile");
  const std::string path = (dir / "profile.ini").string();
  const struct {
    const char* before;
    const char* after;
  } rows[] = {
      {"", "[RECENT]\nLOMIRA-X=12345\n"},
      // An earlier version's file is left in the plain form.
      {"[Settings]\nCOM%20Port=3\n", "[Settings]\nCOM Port=3\n\n[RECENT]\nLOMIRA-X=12345\n"},
      {"[Recent]\nLOMIRA-X=7\nFile1=/a.tdx\n\n[Settings]\nCOM%20Port=3\n",
       "[Recent]\nLOMIRA-X=12345\nFile1=/a.tdx\n\n[Settings]\nCOM Port=3\n"},
      {"[Recent%20File%20List]\nFile1=\"/a b,c.tdx\"\n",
       "[Recent File List]\nFile1=/a b,c.tdx\n\n[RECENT]\nLOMIRA-X=12345\n"},
      // The value the window program reads is the one set, in whichever
      // spelling of the section it stood, and where it stood.
      {"[Recent]\nFile1=/a.tdx\n\n[RECENT]\nLOMIRA-X=7\n",
       "[Recent]\nFile1=/a.tdx\n\n[RECENT]\nLOMIRA-X=12345\n"},
      {"[recent]\nFile1=/a.tdx\n\n[Settings]\nx=1\n",
       "[recent]\nFile1=/a.tdx\nLOMIRA-X=12345\n\n[Settings]\nx=1\n"},
      {"[Recent File List]\nFile1=/a.tdx\n",
       "[Recent File List]\nFile1=/a.tdx\n\n[RECENT]\nLOMIRA-X=12345\n"},
  };
  for (const auto& row : rows) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << row.before;
    EXPECT_EQ(WriteProfileInt(path, "RECENT", "LOMIRA-X", 12345), "");
    EXPECT_EQ(ReadBytes(path), row.after) << row.before;
  }
}

// What a person wrote around the entry stays, duplicates included: the line
// that is read is the one written.
TEST(ProfileFile, AWriteLeavesCommentsAndDuplicatesWhereTheyAre) {
  const TempFolder dir("profile-file");
  const std::string path = dir.File("profile.ini");
  const std::string before =
      "; station 4, set up by hand\n[COM Ports]\n; the left camera\nCOM1=/dev/ttyUSB0\n"
      "COM1=/dev/ttyUSB1\n\n[com ports]\nCOM2=/dev/ttyUSB2\n";
  WriteBytes(path, before);
  EXPECT_EQ(ReadProfileString(path, "COM Ports", "COM1"), "/dev/ttyUSB1");
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM1", "/dev/ttyS0"), "");
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM2", "/dev/ttyS1"), "");
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM3", "/dev/ttyS2"), "");
  EXPECT_EQ(ReadBytes(path),
            "; station 4, set up by hand\n[COM Ports]\n; the left camera\nCOM1=/dev/ttyUSB0\n"
            "COM1=/dev/ttyS0\nCOM3=/dev/ttyS2\n\n[com ports]\nCOM2=/dev/ttyS1\n");
  EXPECT_EQ(ReadProfileString(path, "COM Ports", "COM1"), "/dev/ttyS0");
  // Taken out, an entry is gone from every line it stood on.
  EXPECT_EQ(WriteProfileString(path, "COM Ports", "COM1", ""), "");
  EXPECT_EQ(ReadProfileString(path, "COM Ports", "COM1"), std::nullopt);
  EXPECT_EQ(ReadBytes(path),
            "; station 4, set up by hand\n[COM Ports]\n; the left camera\nCOM3=/dev/ttyS2\n\n"
            "[com ports]\nCOM2=/dev/ttyS1\n");
}

// A file that is not text is no profile to rewrite: refused, and left
// byte for byte.
TEST(ProfileFile, AFileThatIsNotTextIsRefusedAndLeftAsItIs) {
  const TempFolder dir("profile-file");
  const std::string path = dir.File("profile.ini");
  std::string binary(200 * 1024, '\0');
  std::mt19937 bytes(31);
  for (char& byte : binary) byte = static_cast<char>(bytes());
  binary.replace(1000, 20, "\n[COM Ports]\nCOM1=x\n");  // what looks like an entry in it
  for (const std::string& before : {binary, std::string("[Settings]\nCOM Port=1\n\x01\n")}) {
    WriteBytes(path, before);
    const std::string failure = WriteProfileString(path, "COM Ports", "COM2", "/dev/ttyUSB0");
    EXPECT_NE(failure.find("not a text file"), std::string::npos) << failure;
    EXPECT_EQ(ReadBytes(path), before);
  }
}

// Writers in several programs at once: each holds the profile from its read
// to its replace, so every edit is kept.
TEST(ProfileFile, WritersAtOnceKeepEveryEdit) {
  const TempFolder dir("profile-file");
  const std::string path = dir.File("Talbrook/profile.ini");  // the folder made by the first
  constexpr int kWriters = 4;
  constexpr int kEdits = 60;
  std::vector<testing::ProcessResult> results(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      results[static_cast<std::size_t>(w)] =
          testing::RunProcess({PROFILE_WRITER_PATH, path, "Writer", "w" + std::to_string(w) + "-",
                               std::to_string(kEdits)});
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (const testing::ProcessResult& result : results)
    EXPECT_EQ(result.exitStatus, 0) << result.err;
  int kept = 0;
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kEdits; ++i) {
      if (ReadProfileInt(path, "Writer", "w" + std::to_string(w) + "-" + std::to_string(i)) == i)
        ++kept;
    }
  }
  EXPECT_EQ(kept, kWriters * kEdits);
}

// The wait for another writer is bounded: a lock never let go fails the
// edit with the reason, and does not hang the program.
TEST(ProfileFile, AWriterWaitsForTheLockOnlySoLong) {
  const TempFolder dir("profile-file");
  const std::string path = dir.File("profile.ini");
  std::string reason;
  const auto held = ProfileLock::Acquire(path, std::chrono::milliseconds(0), &reason);
  ASSERT_NE(held, nullptr) << reason;
  EXPECT_TRUE(fs::exists(ProfileLockPath(path)));
  EXPECT_EQ(ProfileLock::Acquire(path, std::chrono::milliseconds(20), &reason), nullptr);
  EXPECT_NE(reason.find("another program has been editing it"), std::string::npos) << reason;
}

// A profile that is there but cannot be read is left alone: writing the one
// value over it would lose the window program's other settings.
TEST(ProfileFile, AProfileThatCannotBeReadIsNotReplaced) {
  const TempFolder dir("tavrelctl-profile");
  const fs::path path = dir / "profile.ini";
  fs::create_directory(path);  // read() fails on it, whoever runs the test
  std::ofstream(path / "kept") << "x";
  EXPECT_NE(WriteProfileInt(path.string(), "RECENT", "LOMIRA-X", 12345), "");
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(fs::exists(path / "kept"));
}

// A profile this user may not open for reading (mode 000, or 0200: one it
// may still write) is not read as empty and replaced by the one entry
// written, though the folder would let a new file be renamed over it.
TEST(ProfileFile, AProfileThisUserCannotOpenIsNotReplaced) {
  for (const mode_t mode : {mode_t{0}, mode_t{0200}}) {
    SCOPED_TRACE(mode);
    const TempFolder dir("tavrelctl-profile");
    ::chmod(dir.Path().c_str(), 0777);
    const std::string path = dir.File("profile.ini");
    const std::string before = "[Settings]\nCOM Port=3\n";
    WriteBytes(path, before);
    ASSERT_TRUE(testing::GiveToOrdinaryUser(path));
    ::chmod(path.c_str(), mode);
    const int outcome = testing::RunAsOrdinaryUser([&] {
      if (ReadProfileString(path, "Settings", "COM Port")) return 1;
      if (WriteProfileString(path, "COM Ports", "COM1", "/dev/ttyUSB0").empty()) return 2;
      return 0;
    });
    if (outcome == -1) GTEST_SKIP() << "no ordinary user to run as";
    EXPECT_EQ(outcome, 0);
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadBytes(path), before);
  }
}

}  // namespace
}  // namespace tavrel
