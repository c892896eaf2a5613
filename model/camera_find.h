// Which port the camera is on, at which rate, and which model it is: the
// lines to probe (the COM ports as they resolve, this machine's serial
// devices, or those the user names), the devices left alone, and what was
// found. For tavrelctl find, the window program's start-up hint and its
// Find Camera menu item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/camera_probe.h"
#include "model/com_port_directory.h"

namespace tavrel {

struct FoundCamera {
  std::int32_t port = 0;  // the COM number standing for the device; 0: none
  std::string device;
  std::int32_t baud = 0;
  Identification identification;
  int cameraType = -1;  // the model its model-name text names (CameraTypeNamedBy), or -1
};

// A device not probed or not identified, and why.
struct LineNote {
  std::int32_t port = 0;
  std::string device;
  std::string reason;
};

struct CameraSearch {
  std::vector<FoundCamera> found;
  // Devices another program holds, that would not open, or whose camera did
  // not finish its identification.
  std::vector<LineNote> notes;
  std::size_t probed = 0;  // devices probed
};

// `candidates`: "COM<n>" (as it resolves) or device paths; empty = COM1 to
// COM10 and every serial device of this machine, each device once. Devices
// another process holds open are probed only when named; devices missing or
// without hardware are passed over silently unless named. This process's
// own holds do not count (the window program probes after closing its
// port; a virtual camera may share the process).
CameraSearch FindCameras(const ComPortDirectory& directory,
                         const std::vector<std::string>& candidates = {},
                         const ProbeWaits& waits = {});

// "COM2" for a device COM2 stands for, else the device's path.
std::string PlaceName(std::int32_t port, const std::string& device);

// "A camera answers on COM2 at 19200 baud: LOMIRA-S" (without the model
// name when it reported none).
std::string CameraAnswersText(const FoundCamera& camera);

// One such line per camera found, each ending in "\n"; empty when none.
std::string CameraAnswersHint(const CameraSearch& search);

}  // namespace tavrel
