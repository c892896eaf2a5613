// A virtual camera behind the link in the same process, with no pty and no
// thread: the link's writes feed the responder directly and its reads take
// the camera's answer. A read that finds too little waits for the next
// byte's arrival or for its deadline, on the real clock or on a virtual one
// that jumps there at once, so that in tests the link's time-outs pass at
// once, in the same order and with the same results as on a real line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/transport.h"
#include "sim/camera_options.h"
#include "sim/register_bank.h"

namespace sim {

enum class CameraTime {
  kReal,     // the monotonic clock; waits sleep
  kVirtual,  // starts at the monotonic clock's time, moves only while the PC waits
};

class InProcessCamera {
 public:
  // Throws std::invalid_argument for bad options (unknown model...), and
  // std::runtime_error when the trace file cannot be created.
  explicit InProcessCamera(const CameraOptions& options, CameraTime time = CameraTime::kReal);
  ~InProcessCamera();
  InProcessCamera(const InProcessCamera&) = delete;
  InProcessCamera& operator=(const InProcessCamera&) = delete;

  // A new carrier onto this camera for CommPort (one per open of the port);
  // the camera keeps its registers from one to the next. Either may outlive
  // the other.
  std::unique_ptr<tavrel::Transport> Connect();

  // Register contents: three bytes V0 V1 V2 at (h1 0|1, area, address).
  RegisterBytes ReadRegister(int h1, int area, int address) const;
  void WriteRegister(int h1, int area, int address, RegisterBytes bytes);
  // The command bodies accepted (answered with ACK), in order: the latest
  // CameraOptions::bodyHistory of them.
  std::vector<std::string> ReceivedBodies() const;
  // Adds a fault; it counts from now.
  void AddFault(const Fault& fault);

  // The camera's clock, in microseconds.
  std::int64_t NowUs() const;

 private:
  struct State;
  class ResponderLine;  // the carrier Connect makes
  std::shared_ptr<State> state_;
};

}  // namespace sim
