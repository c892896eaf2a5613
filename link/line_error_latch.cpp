#include "link/line_error_latch.h"

#include "link/line_errors.h"

namespace tavrel {

std::uint32_t LineErrorLatch::Take(const LineErrorCounts* now) {
  if (now == nullptr) return 0;
  if (!known_) {
    Reset(*now);
    return 0;
  }
  std::uint32_t flags = 0;
  if (now->breaks != reported_.breaks) flags |= kLineErrorBreak;
  if (now->framing != reported_.framing) flags |= kLineErrorFrame;
  if (now->overruns != reported_.overruns) flags |= kLineErrorOverrun;
  if (now->bufferOverruns != reported_.bufferOverruns) flags |= kLineErrorRxOver;
  if (now->parity != reported_.parity) flags |= kLineErrorRxParity;
  reported_ = *now;
  return flags;
}

}  // namespace tavrel
