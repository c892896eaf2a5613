#include "cli/simulated_camera.h"

#include "link/comm_port.h"
#include "sim/in_process_camera.h"

namespace tavrel {
namespace {

// Windows has no pseudo-terminals: the camera's responder sits directly
// behind the link as its carrier.
class InProcessSimulatedCamera : public SimulatedCamera {
 public:
  explicit InProcessSimulatedCamera(const sim::CameraOptions& options) : camera_(options) {}
  std::int32_t Connect(CommPort& port, std::int32_t baud) override {
    port.AttachTransport(camera_.Connect(), 0, baud);
    return 0;
  }

 private:
  sim::InProcessCamera camera_;
};

}  // namespace

std::unique_ptr<SimulatedCamera> StartSimulatedCamera(const sim::CameraOptions& options) {
  return std::make_unique<InProcessSimulatedCamera>(options);
}

}  // namespace tavrel
