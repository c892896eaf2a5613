// The adjustment log: one CSV record per serial number written, appended to a
// file other programs (a spreadsheet) may hold open. Bytes are written as
// they are: the header is Shift-JIS, lines end in CR LF.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tavrel {

class ParameterDocument;

// In the current folder.
inline constexpr const char* kAdjustmentLogPath = "./TAVREL_Camera_AdjustData.csv";
inline constexpr const char* kAdjustmentLogCaption = "Serial Number";
// Entry 11 "Adjust GAIN", the standard-sensitivity setting logged with each record.
inline constexpr int kAdjustGainEntry = 11;

// The header line with its CR LF (date and time, model name, serial number,
// standard sensitivity), written only into an empty file.
std::string_view AdjustmentLogHeader();

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;
  int hour = 0;  // 0..23
  int minute = 0;
};
using LocalClock = std::function<LocalTime()>;
// The system's local time now.
LocalTime SystemLocalTime();

struct AdjustmentRecord {
  LocalTime time;
  std::string modelName;
  std::string serialNumber;
  std::int32_t adjustGain = 0;
};

// One line with its CR LF: "2026.12. 8 21:5,model,0012345,300,".
std::string FormatAdjustmentRecord(const AdjustmentRecord& record);

// "NAME is opend. Please close NAME", NAME being the part of the path after
// its last backslash (so the whole path here).
std::string AdjustmentLogBusyText(const std::string& path);

// How long a writer waits for the log while another program holds it. A
// record holds it for a few writes and a flush to disk, so a second tavrel
// gets it in a moment; a spreadsheet that holds the file gets the busy box
// once the time is up.
inline constexpr std::chrono::milliseconds kAdjustmentLogWait{5000};

// The log file, open and locked against every other writer for the length of
// one record: an exclusive flock and an fcntl write lock (on Windows: opened
// denying every other program). Closing releases the file.
class AdjustmentLogFile {
 public:
  // Null when the file cannot be opened or created, when another program
  // still holds it after `wait`, or when a spreadsheet whose owner is still
  // at work has marked it with its ".~lock.NAME#" file: at once for one on
  // another machine, after `wait` for one on this machine that holds the
  // file. `reason`, when given, then receives why, for the user.
  static std::unique_ptr<AdjustmentLogFile> Open(
      const std::string& path, std::string* reason = nullptr,
      std::chrono::milliseconds wait = kAdjustmentLogWait);
  ~AdjustmentLogFile();
  AdjustmentLogFile(const AdjustmentLogFile&) = delete;
  AdjustmentLogFile& operator=(const AdjustmentLogFile&) = delete;

  // Appends `record` (preceded by the header when the file is empty) with one
  // write at the end of the file, then flushes it to disk. Existing content
  // is never touched; a write that fails part-way is cut back off. False when
  // the record could not be written whole; `reason`, when given, then
  // receives the system's reason.
  bool Append(std::string_view record, std::string* reason = nullptr);

 private:
  explicit AdjustmentLogFile(int fd) : fd_(fd) {}
  int fd_;
};

// Whether the log could take a record now, asked before anything goes to
// the camera so that a log which cannot take the record stops the write
// instead of losing the record after it: an existing file is opened and
// locked as for a record (another writer is waited for up to `wait`), a
// missing one needs a folder that takes a new file. Creates nothing. Empty
// when it can; otherwise why not.
std::string AdjustmentLogRefusal(const std::string& path,
                                 std::chrono::milliseconds wait = kAdjustmentLogWait);

// The first step of a serial-number write, before the unlock: true when the
// log can take the record; otherwise the busy box with the reason below it
// (caption "Serial Number") and false, with nothing sent or written.
bool CheckAdjustmentLog(ParameterDocument& document, const std::string& path,
                        std::chrono::milliseconds wait = kAdjustmentLogWait);

// The last step of a serial-number write: makes sure the log can be opened,
// reads Adjust GAIN from the camera, and appends the record for the serial
// number the document now holds. The log is not held during the camera read,
// so another writer is not kept waiting for the camera. On failure the busy
// box is shown (caption "Serial Number"), with the reason below its text,
// and false returned; nothing already written is undone.
bool AppendAdjustmentRecord(ParameterDocument& document, const std::string& path,
                            const std::string& modelName, const LocalClock& clock,
                            std::chrono::milliseconds wait = kAdjustmentLogWait);

}  // namespace tavrel
