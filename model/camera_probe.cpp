#include "model/camera_probe.h"

#include <optional>
#include <span>

#include "link/comm_error.h"
#include "link/framing.h"
#include "serial/com_ports.h"

namespace tavrel {
namespace {

// Identification entries are read with header bytes 01 FF and command code
// 90 at INFO address entry - 27, range 0..65535 (no byte reordering).
constexpr std::int32_t kTransferHeader = 0x01;
constexpr std::int32_t kFixedHeader = 0xFF;
constexpr std::int32_t kReadIdentification = 0x90;
constexpr std::int32_t kIdentificationMaximum = 65535;

// Attempts of one entry's exchange (each from ENQ) and rejected reply frames
// within one attempt, as the protocol allows.
constexpr int kExchangeAttempts = 3;
constexpr int kRepliesPerAttempt = 4;

// Characters of an exchange awaited at once: the ACK, the reply frame.
constexpr std::int32_t kAckLength = 1;

bool EndsText(std::int32_t value) {
  return (value & 0xFF) == 0 || value < 256;
}

// The entry read after `entry` gave `value`; 0 when the read is complete.
int NextEntry(int entry, std::int32_t value) {
  if (entry >= kVendorNameFirst && entry <= kVendorNameLast) {
    return EndsText(value) || entry == kVendorNameLast ? kModelNameFirst : entry + 1;
  }
  if (entry >= kModelNameFirst && entry <= kModelNameLast) {
    return EndsText(value) || entry == kModelNameLast ? kSerialNumberFirst : entry + 1;
  }
  return entry < kVersionLast ? entry + 1 : 0;
}

}  // namespace

CameraProbe::CameraProbe(ProbeLine& line, ProbeWaits waits) : line_(line), waits_(waits) {}

void CameraProbe::Start(std::int64_t nowMs) {
  result_ = {};
  TryRate(0, nowMs);
}

void CameraProbe::TryRate(std::size_t rateIndex, std::int64_t nowMs) {
  if (rateIndex >= kLineRates.size()) return Finish(ProbeResult::Kind::kSilent);
  rateIndex_ = rateIndex;
  const std::int32_t baud = kLineRates[rateIndex];
  characterUs_ = CharacterTimeUs(CameraLine(baud));
  const std::string failure = line_.SetRate(baud);
  if (!failure.empty()) return Finish(ProbeResult::Kind::kLineFailed, failure);
  SendEnq(nowMs);
}

void CameraProbe::SendEnq(std::int64_t nowMs) {
  const std::uint8_t enq = kEnq;
  step_ = Step::kAwaitEnqAnswer;
  Send(&enq, 1);
  if (Done()) return;
  AwaitUntil(identifying_ ? waits_.replyMs : waits_.answerMs, 1 + kAckLength, nowMs);
}

void CameraProbe::SendFrame(std::int64_t nowMs) {
  char body[kMessageBufferSize];
  framing::FormatCommand(body, kTransferHeader, kFixedHeader, kReadIdentification,
                         entry_ - kVendorNameFirst, 0, kIdentificationMaximum, 0);
  const framing::CommandFrame frame = framing::BuildCommandFrame(body);
  step_ = Step::kAwaitFrameAck;
  Send(frame.bytes, static_cast<std::size_t>(frame.length));
  if (Done()) return;
  AwaitUntil(waits_.replyMs, frame.length + kAckLength, nowMs);
}

void CameraProbe::Receive(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs) {
  for (std::size_t i = 0; i < count && !Done(); ++i) {
    const std::uint8_t byte = bytes[i];
    switch (step_) {
      case Step::kAwaitEnqAnswer:
        if (!identifying_) {
          // Before a camera has answered, anything but ACK is the noise of
          // a line at another rate.
          if (byte != kAck) break;
          identifying_ = true;
          result_.baud = kLineRates[rateIndex_];
          entry_ = kVendorNameFirst;
          attempts_ = 1;
          badReplies_ = 0;
          SendFrame(nowMs);
          break;
        }
        if (byte != kAck) {
          ExchangeFailed(static_cast<std::int32_t>(LinkCode::kUnexpectedCharacter), nowMs);
          break;
        }
        SendFrame(nowMs);
        break;
      case Step::kAwaitFrameAck:
        if (byte != kAck) {
          ExchangeFailed(static_cast<std::int32_t>(LinkCode::kUnexpectedCharacter), nowMs);
          break;
        }
        step_ = Step::kAwaitReply;
        reply_.clear();
        AwaitUntil(waits_.replyMs, kReplyFrameLength, nowMs);
        break;
      case Step::kAwaitReply:
        TakeReplyByte(byte, nowMs);
        break;
      case Step::kDone:
        break;
    }
  }
}

void CameraProbe::TakeReplyByte(std::uint8_t byte, std::int64_t nowMs) {
  // Bytes before the reply's STX are skipped, as the exchange skips them.
  if (reply_.empty() && byte != kStx) return;
  reply_.push_back(byte);
  if (reply_.size() < static_cast<std::size_t>(kReplyFrameLength)) return;
  const LinkCode check = framing::CheckReplyFrame(reply_.data(), kReplyFrameLength);
  if (check != LinkCode::kNoError) {
    const std::uint8_t nak = kNak;
    Send(&nak, 1);
    if (Done()) return;
    if (++badReplies_ >= kRepliesPerAttempt) {
      return ExchangeFailed(static_cast<std::int32_t>(check), nowMs);
    }
    reply_.clear();
    AwaitUntil(waits_.replyMs, kReplyFrameLength, nowMs);
    return;
  }
  const std::uint8_t ack = kAck;
  Send(&ack, 1);
  if (Done()) return;
  const std::optional<std::int32_t> value =
      framing::DecodeReplyValue(reinterpret_cast<const char*>(reply_.data()) + 1);
  if (!value) {
    return ExchangeFailed(static_cast<std::int32_t>(LinkCode::kInvalidCharacter), nowMs);
  }
  EntryRead(framing::OrderValueBytes(kReadIdentification, 0, kIdentificationMaximum, *value),
            nowMs);
}

void CameraProbe::EntryRead(std::int32_t value, std::int64_t nowMs) {
  values_[static_cast<std::size_t>(entry_ - kVendorNameFirst)] = value;
  entry_ = NextEntry(entry_, value);
  if (entry_ == 0) {
    const auto group = [this](int first, int last) {
      return std::span<const std::int32_t>(values_).subspan(
          static_cast<std::size_t>(first - kVendorNameFirst),
          static_cast<std::size_t>(last - first + 1));
    };
    Identification& ident = result_.identification;
    ident.vendorName = UnpackText(group(kVendorNameFirst, kVendorNameLast));
    ident.modelName = UnpackText(group(kModelNameFirst, kModelNameLast));
    ident.serialNumber =
        UnpackSerialNumber(group(kSerialNumberFirst, kSerialNumberLast)
                               .first<kSerialNumberLast - kSerialNumberFirst + 1>());
    ident.version = UnpackVersion(values_[kVersionFirst - kVendorNameFirst],
                                  values_[kVersionLast - kVendorNameFirst]);
    return Finish(ProbeResult::Kind::kFound);
  }
  attempts_ = 1;
  badReplies_ = 0;
  SendEnq(nowMs);
}

void CameraProbe::Expire(std::int64_t nowMs) {
  if (Done()) return;
  if (!identifying_) return TryRate(rateIndex_ + 1, nowMs);
  ExchangeFailed(static_cast<std::int32_t>(LinkCode::kTimeOut), nowMs);
}

void CameraProbe::ExchangeFailed(std::int32_t code, std::int64_t nowMs) {
  if (attempts_ >= kExchangeAttempts) {
    return Finish(ProbeResult::Kind::kIdentificationFailed, ErrorCodeText(code));
  }
  ++attempts_;
  badReplies_ = 0;
  SendEnq(nowMs);
}

void CameraProbe::Fail(const std::string& reason) {
  if (Done()) return;
  Finish(identifying_ ? ProbeResult::Kind::kIdentificationFailed : ProbeResult::Kind::kLineFailed,
         reason);
}

void CameraProbe::Send(const std::uint8_t* bytes, std::size_t count) {
  const std::string failure = line_.Send(bytes, count);
  if (!failure.empty()) Fail(failure);
}

void CameraProbe::AwaitUntil(std::int32_t waitMs, std::int32_t characters, std::int64_t nowMs) {
  const std::int64_t wireUs = characterUs_ * characters;
  deadlineMs_ = nowMs + waitMs + (wireUs + 999) / 1000;
}

void CameraProbe::Finish(ProbeResult::Kind kind, std::string reason) {
  step_ = Step::kDone;
  result_.kind = kind;
  result_.reason = std::move(reason);
  if (kind == ProbeResult::Kind::kSilent || kind == ProbeResult::Kind::kLineFailed) {
    result_.baud = 0;
  }
}

}  // namespace tavrel
