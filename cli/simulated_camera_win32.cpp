#include "cli/simulated_camera.h"

#include "link/comm_port.h"
#include "sim/in_process_camera.h"

namespace tavrel {
namespace {

// Windows has no pseudo-terminals: the camera's responder sits directly
// behind the link as its carrier.
class InProcessSimulatedCamera : public VirtualCameraHost {
 public:
  explicit InProcessSimulatedCamera(const sim::CameraOptions& options) : camera_(options) {}
  std::int32_t Connect(CommPort& link, std::int32_t baud) override {
    link.AttachTransport(camera_.Connect(), 0, baud);
    return 0;
  }

 private:
  sim::InProcessCamera camera_;
};

}  // namespace

std::unique_ptr<VirtualCameraHost> StartSimulatedCamera(const sim::CameraOptions& options) {
  return std::make_unique<InProcessSimulatedCamera>(options);
}

}  // namespace tavrel
