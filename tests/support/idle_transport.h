// A line that takes every byte written and never answers.
#pragma once

#include <cstdint>

#include "link/link_code.h"
#include "link/transport.h"

namespace tavrel::testing {

class IdleTransport : public Transport {
 public:
  std::int32_t Write(const std::uint8_t*, std::int32_t count, std::int32_t) override {
    return count;
  }
  std::int32_t Read(std::uint8_t*, std::int32_t, std::int32_t) override {
    return LinkFailure(LinkCode::kTimeOut);
  }
  std::int32_t Purge(std::uint32_t) override { return 0; }
};

}  // namespace tavrel::testing
