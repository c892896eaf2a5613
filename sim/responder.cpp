#include "sim/responder.h"

#include <cctype>
#include <cstdio>

namespace sim {
namespace {

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int HexByte(const std::string& text, std::size_t at) {
  return std::stoi(text.substr(at, 2), nullptr, 16);
}

void AppendHex(std::vector<std::uint8_t>& out, std::uint8_t value, bool lower) {
  char digits[3];
  std::snprintf(digits, sizeof digits, lower ? "%02x" : "%02X", value);
  out.push_back(static_cast<std::uint8_t>(digits[0]));
  out.push_back(static_cast<std::uint8_t>(digits[1]));
}

}  // namespace

std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>((sum & 0xFF) ^ 0xFF);
}

Responder::Responder(const CameraOptions& options)
    : registers_(options), bodyHistory_(options.bodyHistory) {
  for (const auto& fault : options.faults) AddFault(fault);
}

void Responder::AddFault(const Fault& fault) {
  faults_.push_back({fault, framesServed_});
}

bool Responder::Strike(FaultKind kind, int index) {
  for (auto& active : faults_) {
    if (active.fault.kind != kind || active.fault.count == 0) continue;
    if (index - active.servedAtStart < active.fault.after) continue;
    if (active.fault.count > 0) --active.fault.count;
    return true;
  }
  return false;
}

void Responder::Receive(std::uint8_t byte, std::int64_t atUs, std::vector<std::uint8_t>& out) {
  if (hungUp_) return;
  if (Strike(FaultKind::kHangup, framesServed_)) {
    hungUp_ = true;
    return;
  }
  const bool gap = atUs - lastByteUs_ > kFrameGapUs;
  lastByteUs_ = atUs;
  if ((state_ == State::kBody || state_ == State::kChecksum) && gap) state_ = State::kIdle;

  switch (state_) {
    case State::kIdle:
      HandleIdleByte(byte, out);
      return;
    case State::kAwaitReplyAck:
      if (byte == kAck) {
        state_ = State::kIdle;
      } else if (byte == kNak) {
        if (replySends_ < kMaxReplySends) {
          SendReply(out);
        } else {
          state_ = State::kIdle;
        }
      } else {
        // The PC gave up on the reply and starts over.
        state_ = State::kIdle;
        HandleIdleByte(byte, out);
      }
      return;
    case State::kBody:
      if (byte == kStx || byte == kEnq) {
        // A new frame or handshake: the partial frame is abandoned.
        state_ = State::kIdle;
        HandleIdleByte(byte, out);
        return;
      }
      frame_.push_back(static_cast<char>(byte));
      if (byte == kEtx) {
        state_ = State::kChecksum;
        checksumDigits_ = 0;
      } else if (frame_.size() - 1 > kMaxBodyLength) {
        out.push_back(kNak);
        state_ = State::kIdle;
      }
      return;
    case State::kChecksum:
      frame_.push_back(static_cast<char>(byte));
      if (++checksumDigits_ == 2) HandleFrame(out);
      return;
  }
}

void Responder::HandleIdleByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  if (byte == kEnq) {
    if (Strike(FaultKind::kEnqNak, framesServed_)) {
      out.push_back(kNak);
    } else if (!Strike(FaultKind::kEnqSilent, framesServed_)) {
      out.push_back(kAck);
      handshakeDone_ = true;
    }
  } else if (byte == kStx && handshakeDone_) {
    frame_.assign(1, static_cast<char>(kStx));
    state_ = State::kBody;
  }
  // Anything else between frames is line noise, and so is a frame that
  // did not follow an acknowledged ENQ.
}

void Responder::HandleFrame(std::vector<std::uint8_t>& out) {
  state_ = State::kIdle;
  const std::size_t etxAt = frame_.size() - 3;
  const char hi = frame_[etxAt + 1];
  const char lo = frame_[etxAt + 2];
  const auto* raw = reinterpret_cast<const std::uint8_t*>(frame_.data());
  if (!IsHex(hi) || !IsHex(lo) || HexByte(frame_, etxAt + 1) != FrameChecksum(raw, etxAt + 1)) {
    out.push_back(kNak);
    return;
  }
  const std::string body = frame_.substr(1, etxAt - 1);
  if (Strike(FaultKind::kFrameNoAck, framesServed_)) return;
  const int index = framesServed_;
  const int result = Execute(body);
  if (result < 0) {
    out.push_back(kNak);
    return;
  }
  ++framesServed_;
  handshakeDone_ = false;
  if (bodyHistory_ > 0) {
    if (bodies_.size() == bodyHistory_) bodies_.pop_front();
    bodies_.push_back(body);
  }
  out.push_back(kAck);
  if (result == 1) {
    replyIndex_ = index;
    replySends_ = 0;
    SendReply(out);
  }
}

int Responder::Execute(const std::string& body) {
  if (body.size() != 14) return -1;
  for (char c : body) {
    if (!IsHex(c)) return -1;
  }
  const int h1 = HexByte(body, 0);
  const int h3 = HexByte(body, 4);
  const int address = HexByte(body, 6);
  const int area = h3 & 0x7F;
  if (!RegisterBank::IsValidMode(h1) || !RegisterBank::IsValidArea(area)) return -1;
  if (h3 & 0x80) {
    reply_ = *registers_.Read(h1, area, address);
    return 1;
  }
  if (!registers_.IsWriteAllowed(h1, area, address)) return -1;
  const RegisterBytes value = {static_cast<std::uint8_t>(HexByte(body, 8)),
                               static_cast<std::uint8_t>(HexByte(body, 10)),
                               static_cast<std::uint8_t>(HexByte(body, 12))};
  registers_.Write(h1, area, address, value);
  return 0;
}

void Responder::SendReply(std::vector<std::uint8_t>& out) {
  ++replySends_;
  state_ = State::kAwaitReplyAck;
  if (Strike(FaultKind::kReplySilent, replyIndex_)) {
    state_ = State::kIdle;
    return;
  }
  const bool cut = Strike(FaultKind::kReplyCut, replyIndex_);
  if (Strike(FaultKind::kGarbage, replyIndex_)) {
    out.insert(out.end(), std::begin(kGarbageBytes), std::end(kGarbageBytes));
  }
  std::vector<std::uint8_t> frame = {kStx};
  if (Strike(FaultKind::kBadValue, replyIndex_)) {
    for (char c : std::string("GHIJKL")) frame.push_back(static_cast<std::uint8_t>(c));
  } else if (Strike(FaultKind::kNulValue, replyIndex_)) {
    frame.insert(frame.end(), std::begin(kNulValueCharacters), std::end(kNulValueCharacters));
  } else {
    for (auto byte : reply_) AppendHex(frame, byte, false);
  }
  frame.push_back(kEtx);
  std::uint8_t checksum = FrameChecksum(frame.data(), frame.size());
  if (Strike(FaultKind::kBadChecksum, replyIndex_))
    checksum = static_cast<std::uint8_t>(checksum + 1);
  AppendHex(frame, checksum, Strike(FaultKind::kLowerChecksum, replyIndex_));
  if (cut) {
    // The rest never comes; the PC gives up and starts over with ENQ.
    frame.resize(kCutReplyLength);
    state_ = State::kIdle;
  }
  out.insert(out.end(), frame.begin(), frame.end());
}

}  // namespace sim
