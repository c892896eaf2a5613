#include "model/adjustment_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/identification_text.h"
#include "model/parameter_document.h"

namespace tavrel {
namespace {

// "日時,機種名,シリアルNo.,標準感度" in Shift-JIS, then CR LF.
constexpr char kHeader[] =
    "\x93\xfa\x8e\x9e,\x8b\x40\x8e\xed\x96\xbc,\x83\x56\x83\x8a\x83\x41\x83\x8bNo.,"
    "\x95\x57\x8f\x80\x8a\xb4\x93\x78\r\n";

// A spreadsheet marks a file it has open with this file in the same folder.
std::string SpreadsheetLockPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + ".~lock." + name + "#";
}

bool LockWholeFile(int fd) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // to the end, however far it grows
  return fcntl(fd, F_SETLK, &lock) == 0;
}

void ShowBusy(ParameterDocument& document, const std::string& path) {
  UserPrompt* prompt = document.Camera().GetUserPrompt();
  if (prompt == nullptr) return;
  MessageRequest request;
  request.text = AdjustmentLogBusyText(path);
  request.caption = kAdjustmentLogCaption;
  prompt->ShowMessage(request);
}

}  // namespace

std::string_view AdjustmentLogHeader() {
  return {kHeader, sizeof kHeader - 1};
}

LocalTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string FormatAdjustmentRecord(const AdjustmentRecord& record) {
  const LocalTime& t = record.time;
  const int size = std::snprintf(nullptr, 0, "%4d.%2d.%2d %d:%d,%s,%s,%d,%s", t.year, t.month,
                                 t.day, t.hour, t.minute, record.modelName.c_str(),
                                 record.serialNumber.c_str(), record.adjustGain, "\r\n");
  std::string line(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(line.data(), line.size(), "%4d.%2d.%2d %d:%d,%s,%s,%d,%s", t.year, t.month, t.day,
                t.hour, t.minute, record.modelName.c_str(), record.serialNumber.c_str(),
                record.adjustGain, "\r\n");
  line.resize(static_cast<std::size_t>(size));
  return line;
}

std::string AdjustmentLogBusyText(const std::string& path) {
  const std::size_t backslash = path.rfind('\\');
  const std::string name = backslash == std::string::npos ? path : path.substr(backslash + 1);
  return name + " is opend. Please close " + name;
}

std::unique_ptr<AdjustmentLogFile> AdjustmentLogFile::Open(const std::string& path) {
  struct stat info {};
  if (lstat(SpreadsheetLockPath(path).c_str(), &info) == 0) return nullptr;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  if (!LockWholeFile(fd)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<AdjustmentLogFile>(new AdjustmentLogFile(fd));
}

AdjustmentLogFile::~AdjustmentLogFile() {
  // Closing drops the fcntl lock and, as the last descriptor, the flock.
  ::close(fd_);
}

bool AdjustmentLogFile::Append(std::string_view record) {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return false;
  std::string bytes;
  if (info.st_size == 0) bytes = AdjustmentLogHeader();
  bytes += record;

  // O_APPEND puts every write at the end of the file; a regular file takes
  // the whole record in one call unless the disk fills up.
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // Only our own bytes are cut off: the locks keep other writers out.
      if (written > 0) {
        const int truncated = ftruncate(fd_, info.st_size);
        (void)truncated;
      }
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return fsync(fd_) == 0;
}

bool AppendAdjustmentRecord(ParameterDocument& document, const std::string& path,
                            const std::string& modelName, const LocalClock& clock) {
  const std::unique_ptr<AdjustmentLogFile> log = AdjustmentLogFile::Open(path);
  if (!log) {
    ShowBusy(document, path);
    return false;
  }
  // A failed read is already shown; the record then carries the stored value.
  document.ReadParameter(kAdjustGainEntry);
  AdjustmentRecord record;
  record.time = clock ? clock() : SystemLocalTime();
  record.modelName = modelName;
  record.serialNumber = SerialNumberOf(document.Camera());
  record.adjustGain = document.GetParameter(kAdjustGainEntry);
  if (!log->Append(FormatAdjustmentRecord(record))) {
    ShowBusy(document, path);
    return false;
  }
  return true;
}

}  // namespace tavrel
