#include "model/adjustment_log.h"

#include <cstdio>

#include "link/user_prompt.h"
#include "model/adjustment_log_platform.h"
#include "model/camera_unit.h"
#include "model/identification_text.h"
#include "model/parameter_document.h"

namespace tavrel {
namespace {

// "日時,機種名,シリアルNo.,標準感度" in Shift-JIS, then CR LF.
constexpr char kHeader[] =
    "\x93\xfa\x8e\x9e,\x8b\x40\x8e\xed\x96\xbc,\x83\x56\x83\x8a\x83\x41\x83\x8bNo.,"
    "\x95\x57\x8f\x80\x8a\xb4\x93\x78\r\n";

void ShowBusy(ParameterDocument& document, const std::string& path, const std::string& reason) {
  UserPrompt* prompt = document.Camera().GetUserPrompt();
  if (prompt == nullptr) return;
  MessageRequest request;
  // The message stays as it is; the reason is told on a line of its own.
  request.text = AdjustmentLogBusyText(path);
  request.detail = reason;
  request.caption = kAdjustmentLogCaption;
  prompt->ShowMessage(request);
}

}  // namespace

std::string_view AdjustmentLogHeader() {
  return {kHeader, sizeof kHeader - 1};
}

std::string FormatAdjustmentRecord(const AdjustmentRecord& record) {
  const LocalTime& t = record.time;
  const auto print = [&](char* out, std::size_t size) {
    return std::snprintf(out, size, "%4d.%2d.%2d %d:%d,%s,%s,%d,%s", t.year, t.month, t.day, t.hour,
                         t.minute, record.modelName.c_str(), record.serialNumber.c_str(),
                         record.adjustGain, "\r\n");
  };
  const int size = print(nullptr, 0);
  std::string line(static_cast<std::size_t>(size) + 1, '\0');
  print(line.data(), line.size());
  line.resize(static_cast<std::size_t>(size));
  return line;
}

std::string AdjustmentLogBusyText(const std::string& path) {
  const std::size_t backslash = path.rfind('\\');
  const std::string name = backslash == std::string::npos ? path : path.substr(backslash + 1);
  return name + " is opend. Please close " + name;
}

std::string AdjustmentLogRefusal(const std::string& path, std::chrono::milliseconds wait) {
  if (!log_file::Exists(path)) return log_file::NewFileRefusal(path);
  std::string reason;
  if (AdjustmentLogFile::Open(path, &reason, wait)) return {};
  return reason;
}

bool CheckAdjustmentLog(ParameterDocument& document, const std::string& path,
                        std::chrono::milliseconds wait) {
  const std::string reason = AdjustmentLogRefusal(path, wait);
  if (reason.empty()) return true;
  ShowBusy(document, path, reason);
  return false;
}

bool AppendAdjustmentRecord(ParameterDocument& document, const std::string& path,
                            const std::string& modelName, const LocalClock& clock,
                            std::chrono::milliseconds wait) {
  std::string reason;
  // A log that cannot take the record costs no camera read, as on the panel.
  if (!AdjustmentLogFile::Open(path, &reason, wait)) {
    ShowBusy(document, path, reason);
    return false;
  }
  // A failed read is already shown; the record then carries the stored value.
  document.ReadParameter(kAdjustGainEntry);
  const std::unique_ptr<AdjustmentLogFile> log = AdjustmentLogFile::Open(path, &reason, wait);
  if (!log) {
    ShowBusy(document, path, reason);
    return false;
  }
  AdjustmentRecord record;
  record.time = clock ? clock() : SystemLocalTime();
  record.modelName = modelName;
  record.serialNumber = SerialNumberOf(document.Camera());
  record.adjustGain = document.GetParameter(kAdjustGainEntry);
  if (!log->Append(FormatAdjustmentRecord(record), &reason)) {
    ShowBusy(document, path, reason);
    return false;
  }
  return true;
}

}  // namespace tavrel
