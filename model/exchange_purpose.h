// What the program was doing when a camera message went out: an entry's read
// or write (alone or within the whole-camera transfer), a manual command, a
// register access. The camera object holds it while the message runs, so
// that the line monitor and tavrelctl's decoded trace can say it beside the
// bytes.
#pragma once

#include <cstdint>
#include <string>

#include "model/register_access.h"

namespace tavrel {

class CameraUnit;

struct ExchangePurpose {
  enum class Kind {
    kUnknown,  // nobody said: the monitor tells what the body itself shows
    kEntryRead,
    kEntryWrite,
    kManualSend,   // the Manual Command tool's Send, tavrelctl send
    kManualQuery,  // its Read, tavrelctl query
    kRegisterRead,
    kRegisterWrite,
  };
  Kind kind = Kind::kUnknown;
  // Entry reads and writes: the entry, and the value written (program form).
  int entry = -1;
  std::int32_t value = 0;
  // Within a whole-camera read or write: this entry's place, 1 to `total`;
  // 0 outside one.
  int position = 0;
  int total = 0;
  // Register accesses: where, and the data written, as the user typed them.
  RegisterArea area = RegisterArea::kCommon;
  RegisterMode mode = RegisterMode::kFpga;
  std::string address;
  std::string data;
};

// Names what `camera`'s exchanges are for until the scope ends; then what
// was named before holds again.
class ExchangePurposeScope {
 public:
  ExchangePurposeScope(CameraUnit& camera, ExchangePurpose purpose);
  ~ExchangePurposeScope();
  ExchangePurposeScope(const ExchangePurposeScope&) = delete;
  ExchangePurposeScope& operator=(const ExchangePurposeScope&) = delete;

 private:
  CameraUnit& camera_;
  ExchangePurpose earlier_;
};

}  // namespace tavrel
