// Turns what the link tells its watcher (bytes, and where each exchange
// begins and ends) into one LineRow per exchange, in the words a service
// engineer uses: "write GAIN = 100", "ENQ, STX ... ETX 3C (sum ok)", "ACK".
// Shared by the window program's line monitor and tavrelctl's decoded trace.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/line_watcher.h"
#include "model/exchange_purpose.h"
#include "model/line_row.h"

namespace tavrel {

class CameraUnit;
class ParameterTable;

// One exchange as it was seen, before decoding.
struct SeenExchange {
  ExchangePurpose purpose;
  std::string body;
  bool awaitsReply = false;
  std::int64_t atUs = 0;
  std::int32_t result = 0;  // as the link returned it
  std::string bytes;
  std::vector<LineBurst> bursts;
};

// The row of one exchange; `table` gives the entries' names, ranges and
// converters. The row's number is left 0.
LineRow DecodeExchange(const ParameterTable& table, SeenExchange exchange);

class LineDecoder : public LineWatcher {
 public:
  using RowSink = std::function<void(LineRow&& row)>;

  // Asks `camera` what each exchange is for as it begins; hands every
  // finished row to `sink`. The camera must outlive the decoder; the decoder
  // is not attached to it here (CommPort::WatchLine).
  LineDecoder(const CameraUnit& camera, RowSink sink);

  void OnLineBytes(TraceDirection direction, const std::uint8_t* bytes, std::size_t count,
                   std::int64_t atUs) override;
  void OnExchangeBegin(std::string_view body, bool awaitsReply, std::int64_t atUs) override;
  void OnExchangeEnd(std::int32_t result, std::int64_t atUs) override;

 private:
  void Hand(LineRow&& row);

  const CameraUnit& camera_;
  RowSink sink_;
  bool inExchange_ = false;
  SeenExchange current_;
  std::uint64_t rowsMade_ = 0;
};

}  // namespace tavrel
