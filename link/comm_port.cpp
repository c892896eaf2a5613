#include "link/comm_port.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "link/board_library.h"
#include "link/platform_serial.h"
#include "link/user_prompt.h"

namespace tavrel {
namespace {

constexpr std::uint32_t kPurgeBothQueues = kPurgeTxClear | kPurgeRxClear;
constexpr std::int32_t kTimeoutCode = 5;

// Timeouts of the camera protocol (ms; per byte on a COM port).
constexpr std::int32_t kEnqTimeoutMs = 1000;
constexpr std::int32_t kEnqAckTimeoutMs = 1000;
constexpr std::int32_t kFrameTimeoutMs = 1000;
constexpr std::int32_t kFrameAckTimeoutMs = 3000;
constexpr std::int32_t kReplyRestTimeoutMs = 1000;
constexpr std::int32_t kReplyAnswerTimeoutMs = 1000;
constexpr int kHandshakeAttempts = 4;
constexpr int kFrameAttempts = 4;
constexpr int kReplyFramesPerCycle = 4;
constexpr int kQueryCycles = 4;

constexpr char kBoardOpenErrorText[] = "Bord Open Error";
constexpr char kBoardOpenErrorCaption[] = "Error";

bool IsHexDigit(std::uint8_t c) {
  return std::isxdigit(c) != 0;
}

struct LineErrorEntry {
  std::uint32_t flag;
  std::int32_t code;
};

// The first flag present, in this order, decides.
constexpr LineErrorEntry kLineErrorOrder[] = {
    {kLineErrorMode, 12},     {kLineErrorBreak, 9},    {kLineErrorFrame, 10},
    {kLineErrorIoe, 11},      {kLineErrorOverrun, 13}, {kLineErrorRxOver, 14},
    {kLineErrorRxParity, 15}, {kLineErrorTxFull, 16},  {kLineErrorDns, 17},
    {kLineErrorPto, 18},      {kLineErrorOop, 19},
};

}  // namespace

CommPort::CommPort() = default;

CommPort::~CommPort() {
  Close();
}

bool CommPort::HasBoardConnection() const {
  return IsBoardConnected();
}

// --- Transport ---------------------------------------------------------------

std::int32_t CommPort::Open(std::int32_t port, std::int32_t baud, int byteSize, int stopBits,
                            int parity) {
  Close();
  if (static_cast<std::uint32_t>(port) > 10) return SetError(2);
  portNumber = port;
  baudRate = baud;
  const std::string path = ComPortDevicePath(port);
  if (path.empty()) {
    systemErrorText_ = "COM" + std::to_string(port) + ": no such port";
    return SetError(4);
  }
  return OpenDevice(path, baud, byteSize, stopBits, parity);
}

std::int32_t CommPort::OpenSerial(std::int32_t port, std::int32_t baud) {
  return Open(port, baud, kByteSize8, kTwoStopBits, kNoParity);
}

std::int32_t CommPort::OpenSerialDevice(const std::string& devicePath, std::int32_t baud) {
  Close();
  portNumber = 0;
  baudRate = baud;
  return OpenDevice(devicePath, baud, kByteSize8, kTwoStopBits, kNoParity);
}

std::int32_t CommPort::OpenDevice(const std::string& path, std::int32_t baud, int byteSize,
                                  int stopBits, int parity) {
  if (!IsSupportedBaudRate(baud)) {
    systemErrorText_ = path + ": unsupported baud rate " + std::to_string(baud);
    return SetError(4);
  }
  std::string errorText;
  std::unique_ptr<PlatformSerial> serial = PlatformSerial::OpenDevice(path, &errorText);
  if (serial == nullptr) {
    systemErrorText_ = errorText;
    return SetError(4);
  }
  const std::int32_t configured = serial->Configure(baud, byteSize, stopBits, parity);
  serial->SetTrace(trace_.get());
  transport_ = std::move(serial);
  if (configured < 0) {
    // The port stays open, as the line settings are all that failed.
    NoteTransportError();
    return SetError(-configured);
  }
  return 0;
}

std::int32_t CommPort::OpenBoard(const std::string& libraryPath) {
  std::string detail;
  switch (LoadBoardLibrary(libraryPath, &detail)) {
    case BoardLoadResult::kLoaded:
      break;
    case BoardLoadResult::kNotLoadable:
    case BoardLoadResult::kMissingEntryPoint:
      systemErrorText_ = detail;
      return SetError(4);
  }
  if (BoardSerialInit() != 0 && userPrompt_ != nullptr) {
    MessageRequest request;
    request.text = kBoardOpenErrorText;
    request.caption = kBoardOpenErrorCaption;
    request.icon = MessageIcon::kError;
    request.ownerless = true;
    userPrompt_->ShowMessage(request);
  }
  return 0;
}

std::int32_t CommPort::Close() {
  if (transport_ != nullptr) {
    transport_->Purge(kPurgeBothQueues);
    transport_.reset();
  }
  CloseBoardConnection();
  return 0;
}

void CommPort::AttachTransport(std::unique_ptr<Transport> transport, std::int32_t port,
                               std::int32_t baud) {
  Close();
  transport_ = std::move(transport);
  if (transport_ != nullptr) transport_->SetTrace(trace_.get());
  portNumber = port;
  baudRate = baud;
}

bool CommPort::TraceTo(const std::string& path) {
  std::unique_ptr<LineTrace> trace;
  if (!path.empty()) {
    trace = LineTrace::Open(path, LineTrace::OpenMode::kAppend, &systemErrorText_);
    if (trace == nullptr) return false;
  }
  if (transport_ != nullptr) transport_->SetTrace(trace.get());
  trace_ = std::move(trace);
  return true;
}

void CommPort::NoteTransportError() {
  if (transport_ == nullptr) return;
  std::string text = transport_->SystemErrorText();
  if (!text.empty()) systemErrorText_ = std::move(text);
}

std::int32_t CommPort::Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) {
  if (IsBoardConnected()) {
    const std::uint32_t size = count > 0 ? static_cast<std::uint32_t>(count) : 0;
    const std::uint32_t written =
        BoardSerialWrite(data, size, static_cast<std::uint32_t>(timeoutMs));
    TraceNow(trace_.get(), TraceDirection::kPcToCamera, data, std::min(written, size));
    // A short board transfer is a time-out as far as the user can tell.
    if (written < size) SetError(kTimeoutCode);
    return static_cast<std::int32_t>(written);
  }
  if (count <= 0) return SetError(6);
  if (transport_ == nullptr) return SetError(3);
  const std::int32_t written = transport_->Write(data, count, timeoutMs);
  if (written < 0) {
    // The count tells the caller; the code tells the user why.
    NoteTransportError();
    SetError(-written);
    return 0;
  }
  return written;
}

std::int32_t CommPort::Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) {
  lastReadTimedOut_ = false;
  if (IsBoardConnected()) {
    const std::uint32_t size = count > 0 ? static_cast<std::uint32_t>(count) : 0;
    const std::uint32_t received =
        BoardSerialRead(buffer, size, static_cast<std::uint32_t>(timeoutMs));
    TraceNow(trace_.get(), TraceDirection::kCameraToPc, buffer, std::min(received, size));
    if (received < size) {
      lastReadTimedOut_ = true;
      SetError(kTimeoutCode);
    }
    return static_cast<std::int32_t>(received);
  }
  if (count <= 0) return SetError(6);
  if (transport_ == nullptr) return SetError(3);
  const std::int32_t received = transport_->Read(buffer, count, timeoutMs);
  if (received < 0) {
    lastReadTimedOut_ = received == -kTimeoutCode;
    NoteTransportError();
    return SetError(-received);
  }
  return received;
}

std::int32_t CommPort::Purge(std::uint32_t flags) {
  if (transport_ == nullptr) return SetError(3);
  const std::int32_t result = transport_->Purge(flags);
  if (result < 0) {
    NoteTransportError();
    return SetError(8);
  }
  return 0;
}

std::int32_t CommPort::LineErrorCode(std::uint32_t flags) {
  for (const LineErrorEntry& entry : kLineErrorOrder) {
    if ((flags & entry.flag) != 0) return entry.code;
  }
  return kTimeoutCode;
}

// --- Message protocol ----------------------------------------------------------

std::int32_t CommPort::OrderValueBytes(std::int32_t h3, std::int32_t minimum, std::int32_t maximum,
                                       std::int32_t value) {
  if (h3 != 0x01 && h3 != 0x81) return value;
  // Settings registers carry their value most significant byte first, over as
  // many bytes as the entry's range needs.
  if (((minimum | maximum) & 0xFF0000) != 0) {
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  }
  if (((minimum | maximum) & 0xFF00) != 0) {
    return ((value & 0xFF) << 8) | ((value >> 8) & 0xFF);
  }
  return value;
}

char* CommPort::FormatCommand(char* buffer, std::int32_t h1, std::int32_t h2, std::int32_t h3,
                              std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                              std::int32_t value) {
  std::snprintf(buffer, kMessageBufferSize, "%02X%02X%02X%02X", static_cast<unsigned>(h1 & 0xFF),
                static_cast<unsigned>(h2 & 0xFF), static_cast<unsigned>(h3 & 0xFF),
                static_cast<unsigned>(h4 & 0xFF));
  std::int32_t v = OrderValueBytes(h3, minimum, maximum, value);
  for (int k = 0; k < 3; ++k) {
    std::snprintf(buffer + 8 + 2 * k, kMessageBufferSize - 8 - 2 * k, "%02X",
                  static_cast<unsigned>(v & 0xFF));
    v /= 256;
  }
  return buffer;
}

std::uint8_t CommPort::Checksum(const std::uint8_t* bytes, std::int32_t count) {
  std::uint8_t sum = 0;
  for (std::int32_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return static_cast<std::uint8_t>(sum ^ 0xFF);
}

std::int32_t CommPort::HexToInt(const char* text, std::int32_t count) {
  std::uint32_t value = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int digit = (c >= '0' && c <= '9') ? c - '0' : std::toupper(c) - 55;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t CommPort::WaitAck(std::int32_t timeoutMs) {
  std::uint8_t answer = 0;
  if (Read(&answer, 1, timeoutMs) != 1) return SetError(kKeepStoredCode);
  if (answer == kAck) return 0;
  return SetError(20);
}

std::int32_t CommPort::CheckReply(const std::uint8_t* frame, std::int32_t length) {
  if (length != kReplyFrameLength) return SetError(21);
  if (frame[0] != kStx) return SetError(22);
  if (frame[7] != kEtx) return SetError(23);
  if (!IsHexDigit(frame[8]) || !IsHexDigit(frame[9])) return SetError(24);
  const std::int32_t sent = HexToInt(reinterpret_cast<const char*>(frame + 8), 2) & 0xFF;
  if (Checksum(frame, 8) != sent) return SetError(25);
  return 0;
}

std::int32_t CommPort::SendCommand(const char* body) {
  const std::size_t length = std::strlen(body);
  if (length > static_cast<std::size_t>(kMaxBodyLength)) return SetError(26);
  Purge(kPurgeBothQueues);  // a failed purge leaves its code, nothing more

  std::uint8_t frame[kMaxBodyLength + 4];
  const std::int32_t frameLength = static_cast<std::int32_t>(length) + 4;
  frame[0] = kStx;
  std::memcpy(frame + 1, body, length);
  frame[1 + length] = kEtx;
  char checksum[3];
  std::snprintf(checksum, sizeof checksum, "%0*X", 2,
                static_cast<unsigned>(Checksum(frame, static_cast<std::int32_t>(length) + 2)));
  frame[2 + length] = static_cast<std::uint8_t>(checksum[0]);
  frame[3 + length] = static_cast<std::uint8_t>(checksum[1]);

  bool handshakeDone = false;
  for (int attempt = 0; attempt < kHandshakeAttempts && !handshakeDone; ++attempt) {
    handshakeDone = Write(&kEnq, 1, kEnqTimeoutMs) == 1 && WaitAck(kEnqAckTimeoutMs) == 0;
  }
  if (!handshakeDone) return SetError(kKeepStoredCode);

  for (int attempt = 0; attempt < kFrameAttempts; ++attempt) {
    if (Write(frame, frameLength, kFrameTimeoutMs) == frameLength &&
        WaitAck(kFrameAckTimeoutMs) == 0) {
      return 0;
    }
  }
  return SetError(kKeepStoredCode);
}

std::int64_t CommPort::NowMs() const {
  if (transport_ != nullptr) return transport_->NowMs();
  return SteadyNowMs();
}

bool CommPort::AwaitReplyStart() {
  const std::int64_t endMs = NowMs() + kReplyStartWindowMs;
  bool lastReadFailed = false;
  for (;;) {
    const std::int64_t leftMs = endMs - NowMs();
    if (leftMs <= 0) {
      // A failed read keeps its own code; a camera that only babbled timed out.
      if (!lastReadFailed) SetError(kTimeoutCode);
      return false;
    }
    std::uint8_t byte = 0;
    const std::int32_t got = Read(&byte, 1, static_cast<std::int32_t>(leftMs));
    if (got == 1 && byte == kStx) return true;
    if (got != 1 && lastReadTimedOut_) return false;
    lastReadFailed = got != 1;
  }
}

std::int32_t CommPort::Query(const char* body, char* reply) {
  for (int cycle = 0; cycle < kQueryCycles; ++cycle) {
    if (SendCommand(body) < 0) return SetError(kKeepStoredCode);
    int failedFrames = 0;
    while (failedFrames < kReplyFramesPerCycle) {
      std::uint8_t frame[kReplyFrameLength];
      if (!AwaitReplyStart()) break;
      frame[0] = kStx;
      if (Read(frame + 1, kReplyFrameLength - 1, kReplyRestTimeoutMs) != kReplyFrameLength - 1) {
        break;
      }
      if (CheckReply(frame, kReplyFrameLength) < 0) {
        Write(&kNak, 1, kReplyAnswerTimeoutMs);
        ++failedFrames;
        continue;
      }
      if (Write(&kAck, 1, kReplyAnswerTimeoutMs) < 0) {
        ++failedFrames;
        continue;
      }
      std::memcpy(reply, frame + 1, 6);
      reply[6] = '\0';
      return 6;
    }
  }
  return SetError(kKeepStoredCode);
}

std::int32_t CommPort::WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3,
                                  std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                                  std::int32_t value) {
  char body[kMessageBufferSize];
  FormatCommand(body, h1, h2, h3, h4, minimum, maximum, value);
  return SendCommand(body);
}

std::int32_t CommPort::ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                                 std::int32_t minimum, std::int32_t maximum,
                                 std::int32_t* valueOut) {
  *valueOut = 0;
  char buffer[kMessageBufferSize];
  FormatCommand(buffer, h1, h2, h3, h4, minimum, maximum, 0);
  if (Query(buffer, buffer) < 0) return SetError(kKeepStoredCode);
  for (int i = 0; i < 6; ++i) {
    if (!IsHexDigit(static_cast<std::uint8_t>(buffer[i]))) return SetError(24);
  }
  const std::int32_t v =
      HexToInt(buffer, 2) + HexToInt(buffer + 2, 2) * 256 + HexToInt(buffer + 4, 2) * 65536;
  *valueOut = OrderValueBytes(h3, minimum, maximum, v);
  return 0;
}

}  // namespace tavrel
