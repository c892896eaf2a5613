// Someone watching the camera line while the program runs (the window
// program's line monitor, tavrelctl's decoded trace): every burst of bytes as
// the trace file gets it, and where each exchange (one SendCommand or Query)
// begins and ends. Called on the thread that runs the exchange, in the middle
// of it: a watcher only takes note and returns at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/line_trace.h"

namespace tavrel {

class LineWatcher {
 public:
  virtual ~LineWatcher() = default;

  // `count` (> 0) bytes moved one way, stamped on the trace's clock.
  virtual void OnLineBytes(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
                           std::int64_t atUs) = 0;
  // A command with `body` is about to go out; `awaitsReply` for a Query.
  virtual void OnExchangeBegin(std::string_view body, bool awaitsReply, std::int64_t atUs) = 0;
  // The exchange ended with `result`: 0 (or the reply's length) on success,
  // the negated link error code on failure.
  virtual void OnExchangeEnd(std::int32_t result, std::int64_t atUs) = 0;
};

}  // namespace tavrel
