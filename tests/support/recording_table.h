// A ParameterTable whose camera messages are recorded instead of sent: each
// read is answered from `reply`, and a chosen message can be made to fail.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "model/parameter_table.h"

namespace tavrel::testing {

struct RecordedMessage {
  bool read = false;
  std::int32_t h1 = 0;
  std::int32_t h2 = 0;
  std::int32_t h3 = 0;
  std::int32_t h4 = 0;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t value = 0;  // the value written; 0 for a read
};

class RecordingTable : public ParameterTable {
 public:
  std::int32_t WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                          std::int32_t minimum, std::int32_t maximum, std::int32_t value) override {
    messages.push_back({false, h1, h2, h3, h4, minimum, maximum, value});
    return Failing() ? SetError(failCode) : 0;
  }

  std::int32_t ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                         std::int32_t minimum, std::int32_t maximum,
                         std::int32_t* valueOut) override {
    *valueOut = 0;
    messages.push_back({true, h1, h2, h3, h4, minimum, maximum, 0});
    if (Failing()) return SetError(failCode);
    *valueOut = reply(messages.size() - 1);
    return 0;
  }

  std::vector<RecordedMessage> messages;
  // Message number (0-based) from which every message fails; -1 = none.
  int failFrom = -1;
  std::int32_t failCode = 5;
  // The camera-form value a read delivers, by message number.
  std::function<std::int32_t(std::size_t)> reply = [](std::size_t n) {
    return static_cast<std::int32_t>(1000 + n);
  };

 private:
  bool Failing() const {
    return failFrom >= 0 && messages.size() > static_cast<std::size_t>(failFrom);
  }
};

}  // namespace tavrel::testing
