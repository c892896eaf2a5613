// The driver's line-error counters turned into error flags that stay set, as a
// serial port's error flags do, until a failing operation reports them.
#pragma once

#include <cstdint>

namespace tavrel {

// Running totals the driver keeps for one line.
struct LineErrorCounts {
  std::uint32_t breaks = 0;
  std::uint32_t framing = 0;
  std::uint32_t overruns = 0;
  std::uint32_t bufferOverruns = 0;
  std::uint32_t parity = 0;
};

class LineErrorLatch {
 public:
  // Starts from `now`: errors counted before it are not this line's concern.
  void Reset(const LineErrorCounts& now) {
    reported_ = now;
    known_ = true;
  }
  // The kLineError* flags of every counter that went up since the last
  // report, and clears them. 0 when the driver has no counters.
  std::uint32_t Take(const LineErrorCounts* now);

 private:
  LineErrorCounts reported_;
  bool known_ = false;
};

}  // namespace tavrel
