// A line for the fuzz targets: accepts everything written and answers reads
// from the fuzzer's bytes; when they run out every read times out.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/link_code.h"
#include "link/transport.h"

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

class ScriptedLine : public tavrel::Transport {
 public:
  ScriptedLine(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::int32_t Write(const std::uint8_t*, std::int32_t count, std::int32_t) override {
    return count;
  }
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t) override {
    const auto wanted = static_cast<std::size_t>(count);
    if (size_ - offset_ < wanted) {
      offset_ = size_;
      return tavrel::LinkFailure(tavrel::LinkCode::kTimeOut);
    }
    std::memcpy(buffer, data_ + offset_, wanted);
    offset_ += wanted;
    return count;
  }
  std::int32_t Purge(std::uint32_t) override { return 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

}  // namespace fuzz
