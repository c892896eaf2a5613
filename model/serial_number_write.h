// Writing a checked serial number: the four camera entries, the profile value
// that seeds the panel's text at the next start, and the adjustment-log
// record. The window program and tavrelctl both run this after their own
// unlock and input checks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/adjustment_log.h"

namespace tavrel {

class ParameterDocument;

// Keeps the last serial number written (profile section "RECENT", value
// "LOMIRA-X"). The window program and tavrelctl each provide one.
class RecentSerialNumberStore {
 public:
  virtual ~RecentSerialNumberStore() = default;
  virtual void StoreSerialNumber(std::int32_t value) = 0;
};

enum class SerialNumberWriteResult {
  kWritten,       // camera, profile and log all hold the new number
  kCameraFailed,  // an entry write failed (shown); the entries before it stay written
  kLogFailed,     // camera and profile hold it; the record is lost (busy box shown)
};

struct SerialNumberWrite {
  std::string_view text;  // seven decimal digits, already checked
  std::string modelName;  // as the last identification read found it; may be empty
  std::string logPath = kAdjustmentLogPath;
  LocalClock clock = SystemLocalTime;
  std::chrono::milliseconds logWait = kAdjustmentLogWait;  // for a log another program holds
};

SerialNumberWriteResult WriteSerialNumber(ParameterDocument& document,
                                          RecentSerialNumberStore& recent,
                                          const SerialNumberWrite& request);

}  // namespace tavrel
