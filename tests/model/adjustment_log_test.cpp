// The adjustment log's exact bytes, and its refusal of a file that another
// program holds.
#include "model/adjustment_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>

#include "model/spreadsheet_lock.h"
#include "tests/support/file_bytes.h"
#include "tests/support/lock_holder.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::LockHolder;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kHeaderBytes =
    "\x93\xfa\x8e\x9e,\x8b\x40\x8e\xed\x96\xbc,\x83\x56\x83\x8a\x83\x41\x83\x8bNo.,"
    "\x95\x57\x8f\x80\x8a\xb4\x93\x78\r\n";

class AdjustmentLogTest : public ::testing::Test {
 protected:
  AdjustmentLogTest() { log = (dir / "TAVREL_Camera_AdjustData.csv").string(); }

  bool AppendOne(const std::string& record) {
    const auto file = AdjustmentLogFile::Open(log);
    return file && file->Append(record);
  }

  const TempFolder dir{"adjustment-log"};
  std::string log;
};

TEST_F(AdjustmentLogTest, HeaderIsThirtyTwoShiftJisBytesAndCrLf) {
  EXPECT_EQ(AdjustmentLogHeader(), kHeaderBytes);
  EXPECT_EQ(AdjustmentLogHeader().size(), 34u);
}

TEST_F(AdjustmentLogTest, RecordFieldsAndPadding) {
  const struct {
    AdjustmentRecord record;
    const char* line;
  } rows[] = {
      {{{2026, 12, 8, 21, 5}, "LOMIRA-P", "0012345", 300},
       "2026.12. 8 21:5,LOMIRA-P,0012345,300,\r\n"},
      {{{2027, 1, 31, 0, 0}, "", "9999999", 0}, "2027. 1.31 0:0,,9999999,0,\r\n"},
      {{{999, 10, 10, 9, 59}, "A B", "12", -1}, " 999.10.10 9:59,A B,12,-1,\r\n"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatAdjustmentRecord(row.record), row.line);
}

TEST_F(AdjustmentLogTest, NewFileGetsTheHeaderFirstAndLaterRecordsOnlyTheirLine) {
  ASSERT_TRUE(AppendOne("first\r\n"));
  EXPECT_EQ(ReadBytes(log), kHeaderBytes + "first\r\n");
  ASSERT_TRUE(AppendOne("second\r\n"));
  EXPECT_EQ(ReadBytes(log), kHeaderBytes + "first\r\nsecond\r\n");
}

TEST_F(AdjustmentLogTest, ExistingContentIsKeptAsItIs) {
  // An empty file counts as new; a file with any content gets no header, and
  // nothing of it is rewritten (not even a missing last line end).
  WriteBytes(log, "");
  ASSERT_TRUE(AppendOne("a\r\n"));
  EXPECT_EQ(ReadBytes(log), kHeaderBytes + "a\r\n");
  WriteBytes(log, "old,no line end");
  ASSERT_TRUE(AppendOne("b\r\n"));
  EXPECT_EQ(ReadBytes(log), "old,no line endb\r\n");
}

TEST_F(AdjustmentLogTest, ARecordThatDoesNotFitWholeIsCutBackOff) {
  WriteBytes(log, "kept\r\n");
  // A child whose files may not grow past 10 bytes: the record's first bytes
  // go in, the rest is refused, as on a full disk.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10, 10};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(AppendOne("2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n") ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);  // reported as not written
  EXPECT_EQ(ReadBytes(log), "kept\r\n");
}

TEST_F(AdjustmentLogTest, BusyTextNamesThePathTwice) {
  EXPECT_EQ(AdjustmentLogBusyText(kAdjustmentLogPath),
            "./TAVREL_Camera_AdjustData.csv is opend. Please close ./TAVREL_Camera_AdjustData.csv");
  EXPECT_EQ(AdjustmentLogBusyText("C:\\logs\\x.csv"), "x.csv is opend. Please close x.csv");
}

TEST_F(AdjustmentLogTest, TheOpenFileIsLockedBothWays) {
  const auto file = AdjustmentLogFile::Open(log);
  ASSERT_TRUE(file);
  // A second open file description conflicts with our flock even in-process.
  const int other = ::open(log.c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
  // And our fcntl lock with an open file description lock asked for there.
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(other, F_OFD_GETLK, &probe), 0);
  EXPECT_EQ(probe.l_type, F_WRLCK);
  ::close(other);
}

TEST_F(AdjustmentLogTest, AFileHeldByAnotherProgramIsRefusedOnceTheWaitIsUpAndLeftAlone) {
  WriteBytes(log, "kept\r\n");
  for (const LockHolder::Kind kind : {LockHolder::kFlock, LockHolder::kFcntl}) {
    SCOPED_TRACE(kind == LockHolder::kFlock ? "flock" : "fcntl");
    LockHolder holder(log, kind);
    ASSERT_TRUE(holder.Locked());
    std::string reason;
    EXPECT_EQ(AdjustmentLogFile::Open(log, &reason, std::chrono::milliseconds(20)), nullptr);
    EXPECT_EQ(reason, "held by another program for more than 0.02 s");
    holder.Release();
    EXPECT_NE(AdjustmentLogFile::Open(log), nullptr);  // free again
  }
  EXPECT_EQ(ReadBytes(log), "kept\r\n");
}

TEST_F(AdjustmentLogTest, AFileThatCannotBeOpenedIsRefusedAtOnceWithTheSystemsReason) {
  const struct {
    std::string path;
    const char* reason;
  } rows[] = {
      {(dir / "missing" / "log.csv").string(), "No such file or directory"},
      {dir.Path().string(), "Is a directory"},
  };
  for (const auto& row : rows) {
    std::string reason;
    EXPECT_EQ(AdjustmentLogFile::Open(row.path, &reason), nullptr) << row.path;
    EXPECT_EQ(reason, row.reason);
  }
}

TEST_F(AdjustmentLogTest, TheCheckBeforeAWriteGivesTheReasonAndCreatesNothing) {
  WriteBytes(dir / "held.csv", "kept\r\n");
  LockHolder holder((dir / "held.csv").string(), LockHolder::kFlock);
  ASSERT_TRUE(holder.Locked());
  WriteBytes(dir / "plain-file", "");
  WriteBytes(dir / "earlier.csv", "earlier\r\n");
  const struct {
    fs::path path;
    const char* reason;
  } rows[] = {
      {dir / "missing" / "log.csv", "No such file or directory"},
      {dir / "plain-file" / "log.csv", "Not a directory"},
      {dir.Path(), "Is a directory"},
      {dir / "held.csv", "held by another program for more than 0.02 s"},
      {dir / "new.csv", ""},
      {dir / "earlier.csv", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(AdjustmentLogRefusal(row.path.string(), std::chrono::milliseconds(20)), row.reason)
        << row.path;
  }
  EXPECT_FALSE(fs::exists(dir / "new.csv"));
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(ReadBytes(dir / "earlier.csv"), "earlier\r\n");
  EXPECT_EQ(ReadBytes(dir / "held.csv"), "kept\r\n");
}

TEST_F(AdjustmentLogTest, AsAnOrdinaryUserAFolderOfAnotherIsRefused) {
  // The test's folder belongs to root when the test runs as root.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the check as another user";
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  const std::string path = (dir / "log.csv").string();
  EXPECT_EQ(testing::RunAsOrdinaryUser(
                [&] { return AdjustmentLogRefusal(path) == "Permission denied" ? 0 : 1; }),
            0);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(AdjustmentLogTest, AFullDiskGivesTheSystemsReason) {
  const auto file = AdjustmentLogFile::Open("/dev/full");
  ASSERT_NE(file, nullptr);
  std::string reason;
  EXPECT_FALSE(file->Append("2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n", &reason));
  EXPECT_EQ(reason, "No space left on device");
}

std::string ThisHost() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

class SpreadsheetLockFile : public AdjustmentLogTest {
 protected:
  SpreadsheetLockFile() {
    WriteBytes(log, "kept\r\n");
    lockFile = dir / ".~lock.TAVREL_Camera_AdjustData.csv#";
  }
  static std::string Naming(const std::string& host) {
    return "Anna Berg,anna," + host + ",08.12.2026 21:05,file:///home/anna/.config/sheet/4;";
  }
  fs::path lockFile;
};

TEST_F(SpreadsheetLockFile, AnOwnerStillAtWorkKeepsTheRecordOut) {
  // Another machine's spreadsheet cannot be looked into: its word holds.
  WriteBytes(lockFile, Naming("station-elsewhere.plant.example"));
  std::string reason;
  EXPECT_EQ(AdjustmentLogFile::Open(log, &reason), nullptr);
  EXPECT_EQ(reason, "locked by anna on station-elsewhere.plant.example since 08.12.2026 21:05");
  fs::remove(log);
  EXPECT_EQ(AdjustmentLogFile::Open(log), nullptr);
  EXPECT_FALSE(fs::exists(log));  // not even created
  WriteBytes(log, "kept\r\n");

  // A spreadsheet on this machine that still has the file open.
  WriteBytes(lockFile, Naming(ThisHost()));
  LockHolder spreadsheet(log, LockHolder::kOpenOnly);
  ASSERT_TRUE(spreadsheet.Locked());
  EXPECT_EQ(AdjustmentLogFile::Open(log, &reason, std::chrono::milliseconds(20)), nullptr);
  EXPECT_EQ(reason, "locked by anna on " + ThisHost() + " since 08.12.2026 21:05");
  spreadsheet.Release();
  EXPECT_EQ(ReadBytes(log), "kept\r\n");
}

TEST_F(SpreadsheetLockFile, OneLeftBehindDoesNotStopTheRecord) {
  const std::string rows[] = {
      "",                             // cut off by a crash while written
      Naming(ThisHost()),             // its spreadsheet on this machine ended
      Naming("localhost"),            // the name every machine has
      ",Anna Berg,anna,08.12.2026;",  // not the five fields of a lock
  };
  std::string expected = "kept\r\n";
  for (const std::string& content : rows) {
    SCOPED_TRACE(content);
    WriteBytes(lockFile, content);
    ASSERT_TRUE(AppendOne("record\r\n"));
    expected += "record\r\n";
    EXPECT_EQ(ReadBytes(log), expected);
  }
}

TEST(SpreadsheetLock, FieldsHostsAndText) {
  const auto owner =
      ParseSpreadsheetLock("Berg\\, Anna,an\\;na,Station4.plant,08.12.2026 21:05,u;\n");
  ASSERT_TRUE(owner);
  EXPECT_EQ(owner->fullName, "Berg, Anna");
  EXPECT_EQ(owner->userName, "an;na");
  EXPECT_EQ(owner->host, "Station4.plant");
  EXPECT_EQ(owner->openedAt, "08.12.2026 21:05");
  for (const char* malformed : {"", ",a,b,c,d", ",a,b,c,d,e;", ",a,,c,d;", ",a\\x,b,c,d;"}) {
    EXPECT_FALSE(ParseSpreadsheetLock(malformed)) << malformed;
  }

  const struct {
    const char* lockHost;
    const char* thisHost;
    bool same;
  } hosts[] = {
      {"station4", "station4", true},     {"STATION4.plant.example", "station4", true},
      {"station4", "Station4.lan", true}, {"localhost", "station4", true},
      {"station40", "station4", false},   {".plant", "station4", false},
  };
  for (const auto& row : hosts) {
    EXPECT_EQ(IsThisHost(row.lockHost, row.thisHost), row.same) << row.lockHost;
  }
  EXPECT_EQ(SpreadsheetLockText({"Anna Berg", "", "s4", ""}), "locked by Anna Berg on s4");
}

}  // namespace
}  // namespace tavrel
