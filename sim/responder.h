// The camera's side of the message protocol, without any transport: bytes
// from the PC go in with their arrival time, the camera's answer comes out.
// Hosts (pty, CameraLink test library) move the bytes and pace the line.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/camera_options.h"
#include "sim/register_bank.h"

namespace sim {

inline constexpr std::uint8_t kEnq = 0x05;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;

// Longest body the camera accepts; longer frames are answered with NAK.
inline constexpr std::size_t kMaxBodyLength = 22;
// Silence inside a frame after which the partial frame is dropped.
inline constexpr std::int64_t kFrameGapUs = 1'000'000;
// Reply frames sent per read command (the first and its resends after NAK).
inline constexpr int kMaxReplySends = 4;
// Characters of a reply frame (STX included) sent by the reply-cut fault.
inline constexpr std::size_t kCutReplyLength = 4;
// Bytes sent ahead of a reply frame by the garbage fault (never STX).
inline constexpr std::uint8_t kGarbageBytes[] = {0x00, 0x7F, 0x3F, 0xFF};
// The value characters of a reply under the nul-value fault.
inline constexpr std::uint8_t kNulValueCharacters[] = {'A', 'B', 0x00, 'D', 'E', 'F'};

// Camera-side frame checksum: one's complement of the byte sum.
std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count);

class Responder {
 public:
  // Throws std::invalid_argument for an unknown model or bad identification.
  explicit Responder(const CameraOptions& options);

  // Handles one byte from the PC arriving at `atUs` (monotonic microseconds);
  // appends the camera's answer to `out`.
  void Receive(std::uint8_t byte, std::int64_t atUs, std::vector<std::uint8_t>& out);

  // True once the hangup fault struck: the host closes the line.
  bool HungUp() const { return hungUp_; }

  // Adds a fault counted from now.
  void AddFault(const Fault& fault);

  RegisterBank& Registers() { return registers_; }
  const RegisterBank& Registers() const { return registers_; }
  // The command bodies answered with ACK, in order: the latest
  // CameraOptions::bodyHistory of them.
  std::vector<std::string> ReceivedBodies() const { return {bodies_.begin(), bodies_.end()}; }
  // Command frames answered with ACK so far.
  int FramesServed() const { return framesServed_; }

 private:
  enum class State { kIdle, kBody, kChecksum, kAwaitReplyAck };
  struct ActiveFault {
    Fault fault;
    int servedAtStart;
  };

  void HandleIdleByte(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void HandleFrame(std::vector<std::uint8_t>& out);
  // 0 = ACK and done, 1 = ACK and a reply follows, -1 = NAK.
  int Execute(const std::string& body);
  void SendReply(std::vector<std::uint8_t>& out);
  // Consumes one strike of an active fault of `kind` at frame index `index`.
  bool Strike(FaultKind kind, int index);

  RegisterBank registers_;
  std::vector<ActiveFault> faults_;
  std::deque<std::string> bodies_;
  std::size_t bodyHistory_;
  State state_ = State::kIdle;
  std::string frame_;  // STX .. ETX, then the checksum digits
  int checksumDigits_ = 0;
  std::int64_t lastByteUs_ = 0;
  RegisterBytes reply_{};
  int replyIndex_ = 0;  // frame index of the command being answered
  int replySends_ = 0;
  int framesServed_ = 0;
  bool hungUp_ = false;
  // An ENQ was acknowledged and no command frame has been accepted since.
  bool handshakeDone_ = false;
};

}  // namespace sim
