#include "cli/simulated_camera.h"

#include "link/comm_port.h"
#include "sim/pty_camera.h"

namespace tavrel {
namespace {

// Served on a pseudo-terminal, so the real serial path runs.
class PtySimulatedCamera : public VirtualCameraHost {
 public:
  explicit PtySimulatedCamera(const sim::CameraOptions& options) : camera_(options) {}
  std::int32_t Connect(CommPort& link, std::int32_t baud) override {
    return link.OpenSerialDevice(camera_.DevicePath(), baud);
  }

 private:
  sim::PtyCamera camera_;
};

}  // namespace

std::unique_ptr<VirtualCameraHost> StartSimulatedCamera(const sim::CameraOptions& options) {
  return std::make_unique<PtySimulatedCamera>(options);
}

}  // namespace tavrel
