// The camera link: opens a COM port or a CameraLink board's serial channel,
// moves bytes, and runs the camera's message protocol (ENQ/ACK handshake,
// framed hexadecimal command bodies, checked reply frames) over it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/comm_error.h"
#include "link/framing.h"
#include "link/line_errors.h"
#include "link/line_trace.h"
#include "link/line_watcher.h"
#include "link/transport.h"
#include "serial/terminal.h"

namespace tavrel {

class UserPrompt;

class CommPort : public virtual CommError {
 public:
  CommPort();
  ~CommPort() override;
  CommPort(const CommPort&) = delete;
  CommPort& operator=(const CommPort&) = delete;

  // Where message boxes of the link go (the board's open error). Not owned;
  // may be null, in which case nothing is shown.
  void SetUserPrompt(UserPrompt* prompt) { userPrompt_ = prompt; }
  UserPrompt* GetUserPrompt() const { return userPrompt_; }

  // --- Transport -----------------------------------------------------------
  // Opens COM port `port` (1..10 in use; 0 is accepted and fails to open) on
  // the device the COM port resolver names for it.
  std::int32_t Open(std::int32_t port, std::int32_t baud, int byteSize, int stopBits, int parity);
  // Open with 8 data bits, two stop bits and no parity.
  std::int32_t OpenSerial(std::int32_t port, std::int32_t baud);
  // Opens a serial device by its path, with the camera line settings (used by
  // tools that name a device directly). portNumber becomes 0.
  std::int32_t OpenSerialDevice(const std::string& devicePath, std::int32_t baud);
  // Loads a CameraLink serial library and opens its serial port 0; from then
  // on the board carries the line. A library whose clSerialInit fails shows
  // "Bord Open Error" and leaves the link as it was.
  std::int32_t OpenBoard(const std::string& libraryPath);
  std::int32_t Close();

  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs);
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs);
  std::int32_t Purge(std::uint32_t flags);
  // Maps the platform's line-error flags (kLineError*) to a link error code.
  static std::int32_t LineErrorCode(std::uint32_t flags) {
    return static_cast<std::int32_t>(tavrel::LineErrorCode(flags));
  }

  // Names the device "COM n" stands for (empty: none). Until one is set:
  // ComPortDevicePath (serial/com_ports.h), that is $TAVREL_COM<n> on Linux,
  // else the platform's own name. The camera object adds the user's assignments
  // (model/com_port_directory.h), which the link knows nothing of.
  using ComPortResolver = std::function<std::string(std::int32_t port)>;
  void SetComPortResolver(ComPortResolver resolver);

  // The device the COM port was opened on, as it was named (a link such as a
  // /dev/serial/by-id name stays the link), while the port is open or waits
  // to be opened again after a hang-up; empty otherwise, and for a port
  // carried by anything but a device.
  const std::string& GetDevicePath() const;
  // The line hung up (adapter pulled, the far end closed): the port was
  // closed, and the next exchange (SendCommand, Query) opens the same device
  // path again with the same line settings before it starts. A port that
  // was never opened, or was closed by the program, is not reopened.
  bool IsAwaitingReopen() const { return lineHungUp_; }

  // Why the last open of a device failed: its path, the system's reason and
  // error number. Empty (errorNumber 0) when the last open did not fail on a
  // device: it succeeded, or failed on a port number, a baud rate or a board
  // library.
  using DeviceOpenFailure = OpenFailure;
  const DeviceOpenFailure& GetDeviceOpenFailure() const { return deviceOpenFailure_; }

  // Uses `transport` as the open COM port (for tests and in-process hosts).
  void AttachTransport(std::unique_ptr<Transport> transport, std::int32_t port, std::int32_t baud);

  // Makes every later open of COM port `port` connect to the carrier that
  // `connect` makes instead of the port's device (an in-process virtual
  // camera). The port number and baud rate are checked and stored as for a
  // device.
  using CarrierMaker = std::function<std::unique_ptr<Transport>()>;
  void RouteComPort(std::int32_t port, CarrierMaker connect);

  // Appends every byte the link moves, each way, to the trace file at `path`
  // (also across later opens); an empty path ends the trace. False when the
  // file cannot be opened, with the reason in GetSystemErrorText.
  bool TraceTo(const std::string& path);
  // Tells `watcher` every byte the link moves and where each exchange
  // (SendCommand, Query) begins and ends, also across later opens; null
  // stops it. Not owned: it must stay until it is replaced or the link ends.
  void WatchLine(LineWatcher* watcher);

  // A COM port (or what stands in for one) is open.
  bool IsPortOpen() const { return transport_ != nullptr && !boardConnection_; }
  bool HasBoardConnection() const { return transport_ != nullptr && boardConnection_; }
  std::int32_t GetPortNumber() const { return portNumber; }
  std::int32_t GetBaudRate() const { return baudRate; }
  // The operating system's text for the last transport failure (device not
  // found, busy, library not loadable...), for diagnosis beside the error code.
  const std::string& GetSystemErrorText() const { return systemErrorText_; }

  // --- Message protocol ----------------------------------------------------
  // Writes the 14-character body into `buffer` (at least kMessageBufferSize
  // characters) and returns it.
  char* FormatCommand(char* buffer, std::int32_t h1, std::int32_t h2, std::int32_t h3,
                      std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                      std::int32_t value) {
    return framing::FormatCommand(buffer, h1, h2, h3, h4, minimum, maximum, value);
  }
  // Handshake and framed command. 0, or a failure. Each SendCommand and
  // Query is one exchange: a line that hung up since the last one is opened
  // again first.
  std::int32_t SendCommand(const char* body);
  // SendCommand, then the reply frame: on success `reply` (at least 7 bytes)
  // holds the six value characters and a NUL, and the result is 6.
  std::int32_t Query(const char* body, char* reply);
  std::int32_t WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                          std::int32_t minimum, std::int32_t maximum, std::int32_t value);
  // `valueOut` must not be null; it is 0 unless the read succeeds.
  std::int32_t ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                         std::int32_t minimum, std::int32_t maximum, std::int32_t* valueOut);

  std::int32_t WaitAck(std::int32_t timeoutMs);
  // Records the code of a reply frame that fails framing::CheckReplyFrame.
  std::int32_t CheckReply(const std::uint8_t* frame, std::int32_t length);
  static std::int32_t OrderValueBytes(std::int32_t h3, std::int32_t minimum, std::int32_t maximum,
                                      std::int32_t value) {
    return framing::OrderValueBytes(h3, minimum, maximum, value);
  }
  static std::uint8_t Checksum(const std::uint8_t* bytes, std::int32_t count) {
    return framing::Checksum(bytes, count);
  }
  static std::int32_t HexToInt(const char* text, std::int32_t count) {
    return framing::HexToInt(text, count);
  }

  // The wait for a reply's STX ends this long after it began, however many
  // other bytes or failed reads come meanwhile; the cycle then ends as on a
  // time-out.
  static constexpr std::int32_t kReplyStartWindowMs = 4000;

 protected:
  std::int32_t portNumber = 0;
  std::int32_t baudRate = 0;

 private:
  std::int32_t OpenDevice(const std::string& path, const LineSettings& settings);
  // The device and line settings of the open COM port, kept to open it again
  // after a hang-up.
  struct DeviceLine {
    std::string path;
    LineSettings settings;
  };
  // Closes a COM port whose line has hung up, so that its device goes free
  // for the adapter when it comes back, and marks it for reopening.
  void DropHungUpLine();
  // At the start of an exchange: opens the device of a hung-up line again.
  // 0, or the failed open's result.
  std::int32_t ReopenHungUpLine();
  // A read, write or purge after the line hung up within this exchange:
  // the time-out, as on the dead line itself.
  std::int32_t HungUpFailure(const char* operation);
  std::int32_t RunCommand(const char* body);
  std::int32_t RunQuery(const char* body, char* reply);
  // Tell the watcher, if there is one, where an exchange begins and ends;
  // the latter passes `result` on.
  void BeginExchange(const char* body, bool awaitsReply);
  std::int32_t EndExchange(std::int32_t result);
  // Hands the carrier the trace point while a file or a watcher needs it.
  void ConnectTrace();
  // Fails the open of a port the line cannot run at `baud` on (code 4).
  std::int32_t RefuseBaudRate(const std::string& portName, std::int32_t baud);
  // Closes the link, then makes `transport` its carrier.
  void Attach(std::unique_ptr<Transport> transport, bool board);
  void ShowBoardOpenError();
  bool AwaitReplyStart();
  void NoteTransportError();
  std::int64_t NowMs() const;

  // Where the carrier reports its bytes: the trace file and the watcher.
  // Null while neither is wanted. Before transport_, which points to it.
  std::unique_ptr<LineTrace> trace_;
  LineWatcher* watcher_ = nullptr;
  // The one carrier every read, write and purge goes to: a COM port, a
  // board's serial channel (boardConnection_), or what a test attached.
  std::unique_ptr<Transport> transport_;
  bool boardConnection_ = false;
  // The COM port RouteComPort leads elsewhere (-1: none) and how.
  std::int32_t routedPort_ = -1;
  CarrierMaker routedCarrier_;
  ComPortResolver comPortResolver_;
  // Set while a device is open or waits to be opened again.
  std::optional<DeviceLine> deviceLine_;
  bool lineHungUp_ = false;
  DeviceOpenFailure deviceOpenFailure_;
  UserPrompt* userPrompt_ = nullptr;
  std::string systemErrorText_;
  // Set by Read when it ended at its deadline (or came back short from a
  // carrier that tells time-outs by the count), so that the reply wait can tell a time-out from
  // other failures.
  bool lastReadTimedOut_ = false;
};

}  // namespace tavrel
