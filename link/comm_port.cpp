#include "link/comm_port.h"

#include <cerrno>
#include <cstring>

#include "link/board_transport.h"
#include "link/platform_serial.h"
#include "link/user_prompt.h"
#include "serial/com_ports.h"

namespace tavrel {
namespace {

constexpr std::uint32_t kPurgeBothQueues = kPurgeTxClear | kPurgeRxClear;

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

}  // namespace

CommPort::CommPort() : comPortResolver_(ComPortDevicePath) {}

CommPort::~CommPort() {
  Close();
}

// --- Transport ---------------------------------------------------------------

std::int32_t CommPort::Open(std::int32_t port, std::int32_t baud, int byteSize, int stopBits,
                            int parity) {
  Close();
  deviceOpenFailure_ = {};
  if (static_cast<std::uint32_t>(port) > kLastComPort) {
    return SetError(LinkCode::kPortNumberInvalid);
  }
  portNumber = port;
  baudRate = baud;
  if (port == routedPort_) {
    if (!IsSupportedLineRate(baud)) return RefuseBaudRate(ComPortName(port), baud);
    Attach(routedCarrier_(), false);
    return 0;
  }
  const std::string path = comPortResolver_(port);
  if (path.empty()) {
    systemErrorText_ = ComPortName(port) + ": no such port";
    deviceOpenFailure_ = {path, systemErrorText_, ENOENT};
    return SetError(LinkCode::kPortOpenFailed);
  }
  return OpenDevice(path, {baud, byteSize, stopBits, parity});
}

void CommPort::SetComPortResolver(ComPortResolver resolver) {
  comPortResolver_ = resolver ? std::move(resolver) : ComPortResolver(ComPortDevicePath);
}

const std::string& CommPort::GetDevicePath() const {
  static const std::string kNone;
  return deviceLine_ ? deviceLine_->path : kNone;
}

std::int32_t CommPort::OpenSerial(std::int32_t port, std::int32_t baud) {
  const LineSettings line = CameraLine(baud);
  return Open(port, baud, line.byteSize, line.stopBits, line.parity);
}

std::int32_t CommPort::OpenSerialDevice(const std::string& devicePath, std::int32_t baud) {
  Close();
  portNumber = 0;
  baudRate = baud;
  return OpenDevice(devicePath, CameraLine(baud));
}

std::int32_t CommPort::OpenDevice(const std::string& path, const LineSettings& settings) {
  deviceOpenFailure_ = {};
  if (!IsSupportedLineRate(settings.baud)) return RefuseBaudRate(path, settings.baud);
  TerminalOpening opening = OpenTerminal(path);
  if (!opening.terminal) {
    deviceOpenFailure_ = opening.failure;
    systemErrorText_ = opening.failure.reason;
    return SetError(LinkCode::kPortOpenFailed);
  }
  auto serial = std::make_unique<PlatformSerial>(std::move(opening.terminal));
  const std::int32_t configured = serial->Configure(settings);
  Attach(std::move(serial), false);
  deviceLine_ = DeviceLine{path, settings};
  if (configured < 0) {
    // The port stays open, as the line settings are all that failed.
    NoteTransportError();
    return SetError(-configured);
  }
  return 0;
}

std::int32_t CommPort::RefuseBaudRate(const std::string& portName, std::int32_t baud) {
  systemErrorText_ = portName + ": unsupported baud rate " + std::to_string(baud);
  return SetError(LinkCode::kPortOpenFailed);
}

std::int32_t CommPort::OpenBoard(const std::string& libraryPath) {
  deviceOpenFailure_ = {};
  std::string detail;
  std::unique_ptr<BoardTransport> board = BoardTransport::Load(libraryPath, &detail);
  if (board == nullptr) {
    systemErrorText_ = detail;
    return SetError(LinkCode::kPortOpenFailed);
  }
  if (board->Init() != 0) ShowBoardOpenError();
  // Only a failed init's message box tells; without a reference the board
  // carries nothing, and reads and writes find no port open.
  if (board->IsConnected()) Attach(std::move(board), true);
  return 0;
}

void CommPort::ShowBoardOpenError() {
  if (userPrompt_ == nullptr) return;
  MessageRequest request;
  request.text = kBoardOpenErrorText;
  request.caption = kBoardOpenErrorCaption;
  request.icon = MessageIcon::kError;
  request.ownerless = true;
  userPrompt_->ShowMessage(request);
}

std::int32_t CommPort::Close() {
  if (transport_ != nullptr) {
    // A board has nothing to purge; its connection ends with its carrier.
    transport_->Purge(kPurgeBothQueues);
    transport_.reset();
  }
  boardConnection_ = false;
  deviceLine_.reset();
  lineHungUp_ = false;
  return 0;
}

void CommPort::DropHungUpLine() {
  if (transport_ == nullptr || boardConnection_ || !deviceLine_ || !transport_->LineHungUp()) {
    return;
  }
  // No purge: nothing passes on the line any more.
  transport_.reset();
  lineHungUp_ = true;
}

std::int32_t CommPort::ReopenHungUpLine() {
  DropHungUpLine();  // it may have hung up while nothing was sent
  if (!lineHungUp_) return 0;
  // A copy: the open replaces the kept settings.
  const DeviceLine line = *deviceLine_;
  return OpenDevice(line.path, line.settings);
}

std::int32_t CommPort::HungUpFailure(const char* operation) {
  systemErrorText_ = std::string(operation) + ": " + deviceLine_->path + " hung up";
  return SetError(LinkCode::kTimeOut);
}

void CommPort::Attach(std::unique_ptr<Transport> transport, bool board) {
  Close();
  transport_ = std::move(transport);
  boardConnection_ = board && transport_ != nullptr;
  ConnectTrace();
}

void CommPort::AttachTransport(std::unique_ptr<Transport> transport, std::int32_t port,
                               std::int32_t baud) {
  Attach(std::move(transport), false);
  portNumber = port;
  baudRate = baud;
}

void CommPort::RouteComPort(std::int32_t port, CarrierMaker connect) {
  routedPort_ = connect ? port : -1;
  routedCarrier_ = std::move(connect);
}

bool CommPort::TraceTo(const std::string& path) {
  if (path.empty()) {
    if (trace_ != nullptr) trace_->CloseFile();
  } else {
    if (trace_ == nullptr) trace_ = std::make_unique<LineTrace>();
    // A file that cannot be opened leaves the trace as it was.
    const bool opened = trace_->OpenFile(path, LineTrace::OpenMode::kAppend, &systemErrorText_);
    ConnectTrace();
    return opened;
  }
  ConnectTrace();
  return true;
}

void CommPort::WatchLine(LineWatcher* watcher) {
  watcher_ = watcher;
  if (trace_ == nullptr && watcher != nullptr) trace_ = std::make_unique<LineTrace>();
  if (trace_ != nullptr) trace_->SetWatcher(watcher);
  ConnectTrace();
}

void CommPort::ConnectTrace() {
  // Without a file or a watcher the carrier reports nothing at all.
  if (trace_ != nullptr && !trace_->HasFile() && trace_->Watcher() == nullptr) trace_.reset();
  if (transport_ != nullptr) transport_->SetTrace(trace_.get());
}

void CommPort::NoteTransportError() {
  if (transport_ == nullptr) return;
  std::string text = transport_->SystemErrorText();
  if (!text.empty()) systemErrorText_ = std::move(text);
}

std::int32_t CommPort::Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) {
  if (count <= 0) return SetError(LinkCode::kBadByteCount);
  if (transport_ == nullptr && lineHungUp_) {
    HungUpFailure("write");
    return 0;
  }
  if (transport_ == nullptr) return SetError(LinkCode::kPortNotOpened);
  const std::int32_t written = transport_->Write(data, count, timeoutMs);
  if (written < 0) {
    // The count tells the caller; the code tells the user why.
    NoteTransportError();
    SetError(-written);
    DropHungUpLine();
    return 0;
  }
  if (written < count) {
    // Ran out of time: the count tells the caller, the code the user why.
    NoteTransportError();
    SetError(-transport_->ShortWriteFailure());
  }
  return written;
}

std::int32_t CommPort::Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) {
  lastReadTimedOut_ = false;
  if (count <= 0) return SetError(LinkCode::kBadByteCount);
  if (transport_ == nullptr && lineHungUp_) return HungUpFailure("read");
  if (transport_ == nullptr) return SetError(LinkCode::kPortNotOpened);
  const std::int32_t received = transport_->Read(buffer, count, timeoutMs);
  if (received < 0) {
    lastReadTimedOut_ = received == LinkFailure(LinkCode::kTimeOut);
    NoteTransportError();
    const std::int32_t failure = SetError(-received);
    DropHungUpLine();
    return failure;
  }
  if (received < count) {
    // A carrier that reports its time-outs by the count alone (the board).
    lastReadTimedOut_ = true;
    SetError(LinkCode::kTimeOut);
  }
  return received;
}

std::int32_t CommPort::Purge(std::uint32_t flags) {
  if (transport_ == nullptr && lineHungUp_) return HungUpFailure("purge");
  if (transport_ == nullptr) return SetError(LinkCode::kPortNotOpened);
  const std::int32_t result = transport_->Purge(flags);
  if (result < 0) {
    NoteTransportError();
    const std::int32_t failure = SetError(-result);
    DropHungUpLine();
    return failure;
  }
  return 0;
}

// --- Message protocol ----------------------------------------------------------

std::int32_t CommPort::WaitAck(std::int32_t timeoutMs) {
  std::uint8_t answer = 0;
  if (Read(&answer, 1, timeoutMs) != 1) return SetError(kKeepStoredCode);
  if (answer == kAck) return 0;
  return SetError(LinkCode::kUnexpectedCharacter);
}

std::int32_t CommPort::CheckReply(const std::uint8_t* frame, std::int32_t length) {
  const LinkCode code = framing::CheckReplyFrame(frame, length);
  return code == LinkCode::kNoError ? 0 : SetError(code);
}

std::int32_t CommPort::SendCommand(const char* body) {
  BeginExchange(body, false);
  if (ReopenHungUpLine() < 0) return EndExchange(SetError(kKeepStoredCode));
  return EndExchange(RunCommand(body));
}

void CommPort::BeginExchange(const char* body, bool awaitsReply) {
  if (watcher_ != nullptr) watcher_->OnExchangeBegin(body, awaitsReply, NowMs() * 1000);
}

std::int32_t CommPort::EndExchange(std::int32_t result) {
  if (watcher_ != nullptr) watcher_->OnExchangeEnd(result, NowMs() * 1000);
  return result;
}

std::int32_t CommPort::RunCommand(const char* body) {
  const std::size_t length = std::strlen(body);
  if (length > static_cast<std::size_t>(kMaxBodyLength)) return SetError(LinkCode::kBodyTooLong);
  Purge(kPurgeBothQueues);  // a failed purge leaves its code, nothing more
  const framing::CommandFrame frame = framing::BuildCommandFrame({body, length});

  bool handshakeDone = false;
  for (int attempt = 0; attempt < kHandshakeAttempts && !handshakeDone; ++attempt) {
    handshakeDone = Write(&kEnq, 1, kEnqTimeoutMs) == 1 && WaitAck(kEnqAckTimeoutMs) == 0;
  }
  if (!handshakeDone) return SetError(kKeepStoredCode);

  for (int attempt = 0; attempt < kFrameAttempts; ++attempt) {
    if (Write(frame.bytes, frame.length, kFrameTimeoutMs) == frame.length &&
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
      if (!lastReadFailed) SetError(LinkCode::kTimeOut);
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
  BeginExchange(body, true);
  if (ReopenHungUpLine() < 0) return EndExchange(SetError(kKeepStoredCode));
  return EndExchange(RunQuery(body, reply));
}

std::int32_t CommPort::RunQuery(const char* body, char* reply) {
  for (int cycle = 0; cycle < kQueryCycles; ++cycle) {
    if (RunCommand(body) < 0) return SetError(kKeepStoredCode);
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
      std::memcpy(reply, frame + 1, kReplyValueLength);
      reply[kReplyValueLength] = '\0';
      return kReplyValueLength;
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
  const std::optional<std::int32_t> value = framing::DecodeReplyValue(buffer);
  if (!value) return SetError(LinkCode::kInvalidCharacter);
  *valueOut = OrderValueBytes(h3, minimum, maximum, *value);
  return 0;
}

}  // namespace tavrel
