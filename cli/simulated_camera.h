// The built-in virtual camera behind --simulate, for one run of the tool.
#pragma once

#include <memory>

#include "model/link_choice.h"
#include "sim/camera_options.h"

namespace tavrel {

// Throws std::exception when the camera cannot start (unknown model...).
std::unique_ptr<VirtualCameraHost> StartSimulatedCamera(const sim::CameraOptions& options);

}  // namespace tavrel
