// A virtual camera served on a pseudo-terminal by a background thread, for
// tests and in-process hosts (tavrelctl --simulate, the window program's
// --simulate).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/camera_options.h"

namespace sim {

class PtyCamera {
 public:
  // Creates the pty pair and starts serving. Throws std::runtime_error when the
  // pty cannot be created or the options are invalid (unknown model...).
  explicit PtyCamera(CameraOptions options);
  ~PtyCamera();  // Stop()
  PtyCamera(const PtyCamera&) = delete;
  PtyCamera& operator=(const PtyCamera&) = delete;

  // The device path of the pty's terminal side (e.g. /dev/pts/7).
  const std::string& DevicePath() const;

  // Register contents: three bytes V0 V1 V2 at (h1 0|1, area, address).
  std::array<std::uint8_t, 3> ReadRegister(int h1, int area, int address) const;
  void WriteRegister(int h1, int area, int address, std::array<std::uint8_t, 3> bytes);

  // The command bodies accepted (answered with ACK), in order: the latest
  // CameraOptions::bodyHistory of them.
  std::vector<std::string> ReceivedBodies() const;

  // Adds a fault while serving; it counts from now.
  void AddFault(Fault fault);

  // Stops serving and closes the pty. Idempotent.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
