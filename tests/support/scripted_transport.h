// A COM-port stand-in for protocol tests: checks every byte the link writes
// against an ordered script, answers reads from the script, and advances a
// virtual clock instead of waiting, so retries and time-outs run instantly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "link/transport.h"

namespace tavrel::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

class ScriptedTransport : public Transport {
 public:
  // The link must write exactly `bytes` next.
  ScriptedTransport& ExpectWrite(const Bytes& bytes) {
    steps_.push_back({Step::kWrite, bytes, LinkCode::kNoError});
    return *this;
  }
  // The camera sends `bytes`; reads take them in order.
  ScriptedTransport& Send(const Bytes& bytes) {
    steps_.push_back({Step::kSend, bytes, LinkCode::kNoError});
    return *this;
  }
  // The camera is silent for `ms` of the virtual clock before its next bytes.
  ScriptedTransport& Pause(std::int64_t ms) {
    steps_.push_back({Step::kPause, {}, LinkCode::kNoError, ms});
    return *this;
  }
  // The next read ends at its deadline with `code`.
  ScriptedTransport& TimeOut(LinkCode code = LinkCode::kTimeOut) {
    steps_.push_back({Step::kTimeOut, {}, code});
    return *this;
  }

  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t) override {
    const Bytes written(data, data + count);
    log.push_back(written);
    if (steps_.empty() || steps_.front().kind != Step::kWrite) {
      ADD_FAILURE() << "unexpected write of " << Printable(written);
      return count;
    }
    EXPECT_EQ(Printable(steps_.front().bytes), Printable(written));
    steps_.pop_front();
    return count;
  }

  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override {
    const std::int64_t deadline = virtualMs + static_cast<std::int64_t>(count) * timeoutMs;
    std::int32_t received = 0;
    while (received < count && !steps_.empty()) {
      Step& step = steps_.front();
      if (step.kind == Step::kPause) {
        if (virtualMs + step.pauseMs > deadline) {
          // The read ends first; the rest of the silence is still to come.
          step.pauseMs -= deadline - virtualMs;
          virtualMs = deadline;
          return LinkFailure(LinkCode::kTimeOut);
        }
        virtualMs += step.pauseMs;
        steps_.pop_front();
        continue;
      }
      if (step.kind != Step::kSend) break;
      Bytes& pending = step.bytes;
      while (received < count && !pending.empty()) {
        buffer[received++] = pending.front();
        pending.erase(pending.begin());
      }
      if (pending.empty()) steps_.pop_front();
    }
    if (received == count) return count;
    // Short: a time-out, scripted or because the script has run dry.
    virtualMs = deadline;
    LinkCode code = LinkCode::kTimeOut;
    if (!steps_.empty() && steps_.front().kind == Step::kTimeOut) {
      code = steps_.front().code;
      steps_.pop_front();
    } else {
      ++unscriptedTimeouts;
    }
    return LinkFailure(code);
  }

  std::int32_t Purge(std::uint32_t) override {
    ++purges;
    return 0;
  }

  bool Finished() const { return steps_.empty(); }

  static std::string Printable(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
      if (b >= 0x20 && b < 0x7F) {
        text += static_cast<char>(b);
      } else {
        static const char* const kNames[] = {"<NUL>", "<SOH>", "<STX>", "<ETX>",
                                             "<EOT>", "<ENQ>", "<ACK>"};
        if (b <= 6) {
          text += kNames[b];
        } else if (b == 0x15) {
          text += "<NAK>";
        } else {
          char hex[8];
          std::snprintf(hex, sizeof hex, "<%02X>", b);
          text += hex;
        }
      }
    }
    return text;
  }

  std::int64_t NowMs() const override { return virtualMs; }

  std::int64_t virtualMs = 0;
  int purges = 0;
  int unscriptedTimeouts = 0;
  std::vector<Bytes> log;  // every write, in order

 private:
  struct Step {
    enum Kind { kWrite, kSend, kTimeOut, kPause } kind;
    Bytes bytes;
    LinkCode code;
    std::int64_t pauseMs = 0;
  };
  std::deque<Step> steps_;
};

}  // namespace tavrel::testing
