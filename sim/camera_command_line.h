// The option string of the virtual camera, shared by tavrel-camsim and the
// CameraLink test library (which reads it from TAVREL_CLSERSIM).
#pragma once

#include <string>
#include <vector>

#include "serial/terminal.h"
#include "sim/camera_options.h"

namespace sim {

struct CameraCommandLine {
  CameraOptions options;
  std::string linkPath;    // tavrel-camsim: symlink to the pty
  std::string devicePath;  // tavrel-camsim: a serial device to serve on instead of a pty
  bool initFail = false;   // test library: clSerialInit fails
  bool helpShown = false;  // --help was given; `helpText` holds it
  std::string helpText;
};

// Parses "KIND[:COUNT][@AFTER]". Throws std::invalid_argument.
Fault ParseFault(const std::string& text);

// Parses the options (without a program name). Throws std::invalid_argument
// with a readable message on a bad option.
CameraCommandLine ParseCameraCommandLine(const std::vector<std::string>& args);
CameraCommandLine ParseCameraCommandLine(const std::string& optionString);

// Validates the pacing options (baud 0, 9600, 19200 or 38400).
bool IsSupportedBaud(int baud);

// Wire time of one character of the camera's line, microseconds; 0 for no
// pacing.
inline long long CharacterTimeUs(int baud) {
  return tavrel::CharacterTimeUs(tavrel::CameraLine(baud));
}

}  // namespace sim
