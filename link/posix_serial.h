// A COM port on a POSIX terminal device (a serial port, a USB adapter or a
// pseudo-terminal standing in for the camera).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/transport.h"

namespace tavrel {

// The device behind "COM n": $TAVREL_COM<n> when set, else /dev/ttyS<n-1>.
// Empty for port numbers that name no device (0 and below).
std::string ComPortDevicePath(std::int32_t port);

// Whether `baud` is a rate the line can be set to.
bool IsSupportedBaudRate(std::int32_t baud);

class PosixSerial : public Transport {
 public:
  ~PosixSerial() override;
  PosixSerial(const PosixSerial&) = delete;
  PosixSerial& operator=(const PosixSerial&) = delete;

  // Opens the device for reading and writing, for this program alone. Null on
  // failure, with the system's reason in `errorText`.
  static std::unique_ptr<PosixSerial> OpenDevice(const std::string& path, std::string* errorText);

  // Applies the line settings (byte size 5..8; stop bits 0 = one, 1 or 2 =
  // two; parity 0 none, 1 odd, 2 even, 3 mark, 4 space), raw, without flow
  // control, DTR and RTS on. 0, or a negated link error code.
  std::int32_t Configure(std::int32_t baud, int byteSize, int stopBits, int parity);

  std::int32_t Write(const std::uint8_t* data, std::int32_t count, std::int32_t timeoutMs) override;
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override;
  std::int32_t Purge(std::uint32_t flags) override;
  std::string SystemErrorText() const override { return systemError_; }

 private:
  explicit PosixSerial(int fd) : fd_(fd) {}
  struct LineCounters;
  bool ReadLineCounters(LineCounters* counters) const;
  std::uint32_t LineErrorsSince(const LineCounters& before, bool haveBefore) const;
  void RememberErrno(const char* what);

  int fd_ = -1;
  std::string systemError_;
};

}  // namespace tavrel
