// The built-in virtual camera behind --simulate, for one run of the tool.
#pragma once

#include <cstdint>
#include <memory>

#include "sim/camera_options.h"

namespace tavrel {

class CommPort;

class SimulatedCamera {
 public:
  virtual ~SimulatedCamera() = default;
  // Opens `port`'s link to the camera: 0, or a failure recorded in `port`.
  virtual std::int32_t Connect(CommPort& port, std::int32_t baud) = 0;
};

// Throws std::exception when the camera cannot start (unknown model...).
std::unique_ptr<SimulatedCamera> StartSimulatedCamera(const sim::CameraOptions& options);

}  // namespace tavrel
