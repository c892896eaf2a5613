#include "sim/pty_camera.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "sim/pty_host.h"

namespace sim {

// After the hangup fault the serving thread ends and the pty is closed: the
// camera is gone for good, as if its cable were pulled. The register
// accessors keep working on the last state.
struct PtyCamera::Impl {
  explicit Impl(const CameraOptions& options) : host(options), devicePath(host.DevicePath()) {}

  PtyHost host;
  std::string devicePath;
  int stopFd = -1;
  std::thread thread;
  std::mutex stopMutex;
};

PtyCamera::PtyCamera(CameraOptions options) : impl_(std::make_unique<Impl>(options)) {
  impl_->stopFd = eventfd(0, EFD_CLOEXEC);
  if (impl_->stopFd < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  impl_->thread = std::thread([impl = impl_.get()] {
    try {
      impl->host.Serve(impl->stopFd);
    } catch (const std::exception&) {
      impl->host.CloseLine();
    }
  });
}

PtyCamera::~PtyCamera() {
  Stop();
}

const std::string& PtyCamera::DevicePath() const {
  return impl_->devicePath;
}

std::array<std::uint8_t, 3> PtyCamera::ReadRegister(int h1, int area, int address) const {
  return impl_->host.WithResponder([&](Responder& responder) {
    return responder.Registers().Read(h1, area, address).value_or(RegisterBytes{});
  });
}

void PtyCamera::WriteRegister(int h1, int area, int address, std::array<std::uint8_t, 3> bytes) {
  impl_->host.WithResponder(
      [&](Responder& responder) { return responder.Registers().Write(h1, area, address, bytes); });
}

std::vector<std::string> PtyCamera::ReceivedBodies() const {
  return impl_->host.WithResponder([](Responder& responder) { return responder.ReceivedBodies(); });
}

void PtyCamera::AddFault(Fault fault) {
  impl_->host.WithResponder([&](Responder& responder) {
    responder.AddFault(fault);
    return 0;
  });
}

void PtyCamera::Stop() {
  std::lock_guard lock(impl_->stopMutex);
  if (impl_->thread.joinable()) {
    const std::uint64_t one = 1;
    while (::write(impl_->stopFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
    impl_->thread.join();
    impl_->host.CloseLine();
  }
  if (impl_->stopFd >= 0) {
    ::close(impl_->stopFd);
    impl_->stopFd = -1;
  }
}

}  // namespace sim
