// Opening the adjustment log and appending one record to it, over the
// platform's file calls.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "link/file_paths.h"
#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"
#include "model/spreadsheet_lock.h"

namespace tavrel {
namespace {

// A spreadsheet writes its lock file in one go; more is not a lock file.
constexpr std::size_t kLockFileLimit = 4096;
// Between attempts on a held file: short at first, as a record is written in
// a moment.
constexpr int kFirstPauseMs = 2;
constexpr int kLongestPauseMs = 50;

std::string ReadLockFile(const std::string& path) {
  std::error_code error;
  // Only a regular file can be a spreadsheet's lock: a pipe would block the read.
  const std::filesystem::path location = FileSystemPath(path);
  if (!std::filesystem::is_regular_file(location, error)) return {};
  std::ifstream file(location, std::ios::binary);
  std::string content(kLockFileLimit, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(file.gcount()));
  return content;
}

// What a spreadsheet's lock file beside the log says. An empty one, or one
// left on this machine by a spreadsheet that has ended, says nothing.
struct SpreadsheetMark {
  bool elsewhere = false;  // its owner works on another machine: not to be waited for
  bool heldHere = false;   // a program on this machine holds the log or the lock file
  std::string text;        // who has it, for the user
};

SpreadsheetMark MarkOf(const std::string& path) {
  SpreadsheetMark mark;
  const std::string lockPath = SpreadsheetLockPath(path);
  const std::optional<SpreadsheetLockOwner> owner = ParseSpreadsheetLock(ReadLockFile(lockPath));
  if (!owner) return mark;
  if (!IsThisHost(owner->host, log_file::ThisHostName())) {
    mark.elsewhere = true;
  } else {
    // The holder may also be another tavrel writing its record: worth waiting for.
    mark.heldHere = log_file::HeldOpenOnThisMachine({path, lockPath});
  }
  if (mark.elsewhere || mark.heldHere) mark.text = SpreadsheetLockText(*owner);
  return mark;
}

std::string StillHeldText(std::chrono::milliseconds wait) {
  const auto seconds = std::chrono::duration<double>(wait).count();
  char text[80];
  std::snprintf(text, sizeof text, "held by another program for more than %g s", seconds);
  return text;
}

}  // namespace

namespace log_file {

std::string LastErrorText() {
  // A write that took no byte and set nothing: the disk had no room.
  return std::strerror(errno != 0 ? errno : ENOSPC);
}

}  // namespace log_file

std::unique_ptr<AdjustmentLogFile> AdjustmentLogFile::Open(const std::string& path,
                                                           std::string* reason,
                                                           std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  int pauseMs = kFirstPauseMs;
  std::string why;
  for (;;) {
    const SpreadsheetMark mark = MarkOf(path);
    if (mark.elsewhere) {
      why = mark.text;
      break;
    }
    if (!mark.heldHere) {
      const log_file::OpenAttempt attempt = log_file::TryOpen(path);
      if (attempt.fd >= 0) {
        return std::unique_ptr<AdjustmentLogFile>(new AdjustmentLogFile(attempt.fd));
      }
      why = attempt.reason;
      if (!attempt.busy) break;
    }
    // Another writer holds the file for the few writes of its record.
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      why = mark.heldHere ? mark.text : StillHeldText(wait);
      break;
    }
    log_file::Pause(static_cast<int>(std::min<long long>(pauseMs, left)));
    pauseMs = std::min(2 * pauseMs, kLongestPauseMs);
  }
  if (reason != nullptr) *reason = why;
  return nullptr;
}

AdjustmentLogFile::~AdjustmentLogFile() {
  log_file::Close(fd_);
}

bool AdjustmentLogFile::Append(std::string_view record, std::string* reason) {
  const auto fail = [reason] {
    if (reason != nullptr) *reason = log_file::LastErrorText();
    return false;
  };
  const std::int64_t size = log_file::Size(fd_);
  if (size < 0) return fail();
  std::string bytes;
  if (size == 0) bytes = AdjustmentLogHeader();
  bytes += record;

  // A regular file takes the whole record in one write unless the disk fills up.
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::int64_t n = log_file::Write(fd_, bytes.data() + written, bytes.size() - written);
    if (n <= 0) {
      const bool failed = fail();
      // Only our own bytes are cut off: the file is held against every other
      // writer while it is open.
      if (written > 0) (void)log_file::Truncate(fd_, size);
      return failed;
    }
    written += static_cast<std::size_t>(n);
  }
  return log_file::Sync(fd_) || fail();
}

}  // namespace tavrel
