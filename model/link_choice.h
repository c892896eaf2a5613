// How the camera is reached, as a value: a COM port, a device named
// directly, a CameraLink board's serial library, or the program's own
// virtual camera. Each program turns its options (or the start-up dialog's
// answer) into one, and OpenLink opens it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "serial/com_ports.h"

namespace tavrel {

class CameraUnit;
class CommPort;

struct LinkChoice {
  enum class Kind { kComPort, kDevice, kBoard, kVirtualCamera };

  Kind kind = Kind::kComPort;
  std::int32_t port = kFirstComPort;       // kComPort: COM1 to COM10
  std::string path;                        // kDevice: the device; kBoard: the library
  std::int32_t baud = kLineRates.front();  // every kind but kBoard

  static LinkChoice ComPort(std::int32_t port, std::int32_t baud);
  static LinkChoice Device(std::string path, std::int32_t baud);
  static LinkChoice Board(std::string library);
  static LinkChoice VirtualCamera(std::int32_t baud);

  bool operator==(const LinkChoice&) const = default;
};

// The window program's --connect text: "com1" or "com1:19200" (COM1 to
// COM10, case ignored; a line rate, 9600 when none is given), or
// "board:PATH" (PATH not empty). None for anything else.
std::optional<LinkChoice> ParseLinkText(std::string_view text);

// The virtual camera a program started for a kVirtualCamera choice.
class VirtualCameraHost {
 public:
  virtual ~VirtualCameraHost() = default;
  // Makes the camera `link`'s carrier at `baud`: 0, or a failure recorded
  // in `link`.
  virtual std::int32_t Connect(CommPort& link, std::int32_t baud) = 0;
};

// Opens the link `choice` names on the camera object: COM n with
// OpenSerialLink, a device with OpenSerialDevice, a board with
// OpenBoardLink, the virtual camera through `virtualCamera` (none: the open
// fails with code 4). A failure shows its error box once. Returns the open's
// result.
std::int32_t OpenLink(CameraUnit& camera, const LinkChoice& choice,
                      VirtualCameraHost* virtualCamera = nullptr);

}  // namespace tavrel
