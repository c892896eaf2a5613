// CameraLink serial test library: serial port 0 is an in-process virtual
// camera, configured by TAVREL_CLSERSIM (the options of tavrel-camsim, plus
// --init-fail). The camera answers as soon as the PC's bytes are written;
// with --pace, bytes become readable only after their wire time.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <exception>
#include <mutex>

#include "sim/camera_command_line.h"
#include "sim/responder.h"
#include "sim/trace_log.h"

namespace {

// Result codes of the CameraLink serial calls.
constexpr std::int32_t kClNoError = 0;
constexpr std::int32_t kClPortInUse = -10003;
constexpr std::int32_t kClTimeout = -10004;
constexpr std::int32_t kClInvalidIndex = -10005;
constexpr std::int32_t kClInvalidReference = -10006;

struct PendingByte {
  std::int64_t readableAtUs;
  std::uint8_t byte;
};

struct VirtualPort {
  explicit VirtualPort(const sim::CameraOptions& options)
      : responder(options),
        trace(options.traceFile),
        characterUs(sim::CharacterTimeUs(options.paceBaud)),
        turnaroundUs(static_cast<long long>(options.turnaroundMs) * 1000) {}

  std::mutex mutex;
  sim::Responder responder;
  sim::TraceLog trace;
  long long characterUs;
  long long turnaroundUs;
  std::deque<PendingByte> toPc;
  std::int64_t pcLineFreeUs = 0;      // PC -> camera wire busy until
  std::int64_t cameraLineFreeUs = 0;  // camera -> PC wire busy until
};

// The port most recently opened, for test hooks called without a reference.
VirtualPort* g_latestPort = nullptr;
std::mutex g_latestMutex;

VirtualPort* PortFor(void* serialRef) {
  if (serialRef != nullptr) return static_cast<VirtualPort*>(serialRef);
  std::lock_guard lock(g_latestMutex);
  return g_latestPort;
}

void SleepUntil(std::int64_t deadlineUs) {
  const timespec until{static_cast<time_t>(deadlineUs / 1'000'000),
                       static_cast<long>(deadlineUs % 1'000'000) * 1000};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t clSerialInit(std::uint32_t serialIndex,
                                                                 void** serialRef) {
  if (serialRef == nullptr) return kClInvalidReference;
  *serialRef = nullptr;
  if (serialIndex != 0) return kClInvalidIndex;
  try {
    const char* env = std::getenv("TAVREL_CLSERSIM");
    const auto commandLine = sim::ParseCameraCommandLine(std::string(env ? env : ""));
    if (commandLine.initFail) return kClPortInUse;
    auto* port = new VirtualPort(commandLine.options);
    *serialRef = port;
    std::lock_guard lock(g_latestMutex);
    g_latestPort = port;
    return kClNoError;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "libclsersim: TAVREL_CLSERSIM: %s\n", error.what());
    return kClInvalidIndex;
  }
}

__attribute__((visibility("default"))) std::int32_t clSerialWrite(void* serialRef,
                                                                  std::int8_t* buffer,
                                                                  std::uint32_t* bufferSize,
                                                                  std::uint32_t serialTimeout) {
  auto* port = static_cast<VirtualPort*>(serialRef);
  if (port == nullptr || buffer == nullptr || bufferSize == nullptr) return kClInvalidReference;
  std::unique_lock lock(port->mutex);
  if (port->responder.HungUp()) {
    *bufferSize = 0;
    return kClInvalidReference;
  }
  const std::int64_t start = sim::MonotonicUs();
  const std::int64_t deadline = start + static_cast<std::int64_t>(serialTimeout) * 1000;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer);
  // With pacing, only the bytes that fit on the wire before the time-out go.
  std::int64_t lineFree = std::max(port->pcLineFreeUs, start);
  std::uint32_t sent = *bufferSize;
  if (port->characterUs > 0) {
    const auto fit = (deadline - lineFree) / port->characterUs;
    sent = static_cast<std::uint32_t>(std::clamp<std::int64_t>(fit, 0, *bufferSize));
  }
  port->trace.Log(sim::Direction::kPcToCamera, bytes, sent, start);
  std::vector<std::uint8_t> out;
  for (std::uint32_t i = 0; i < sent; ++i) {
    const std::int64_t arrival = lineFree + port->characterUs;
    lineFree = arrival;
    out.clear();
    port->responder.Receive(bytes[i], arrival, out);
    if (port->responder.HungUp()) {
      port->trace.Note("hangup: line closed", arrival);
      port->toPc.clear();
      sent = i;
      break;
    }
    if (!out.empty()) {
      std::int64_t readable =
          std::max<std::int64_t>(arrival + port->turnaroundUs, port->cameraLineFreeUs);
      port->trace.Log(sim::Direction::kCameraToPc, out.data(), out.size(), readable);
      for (const auto byte : out) {
        readable += port->characterUs;
        port->toPc.push_back({readable, byte});
      }
      port->cameraLineFreeUs = readable;
    }
  }
  port->pcLineFreeUs = lineFree;
  const bool hungUp = port->responder.HungUp();
  lock.unlock();
  if (port->characterUs > 0) SleepUntil(lineFree);
  const bool complete = sent == *bufferSize;
  *bufferSize = sent;
  return complete ? kClNoError : (hungUp ? kClInvalidReference : kClTimeout);
}

__attribute__((visibility("default"))) std::int32_t clSerialRead(void* serialRef,
                                                                 std::int8_t* buffer,
                                                                 std::uint32_t* bufferSize,
                                                                 std::uint32_t serialTimeout) {
  auto* port = static_cast<VirtualPort*>(serialRef);
  if (port == nullptr || buffer == nullptr || bufferSize == nullptr) return kClInvalidReference;
  const std::int64_t deadline =
      sim::MonotonicUs() + static_cast<std::int64_t>(serialTimeout) * 1000;
  std::uint32_t got = 0;
  while (got < *bufferSize) {
    std::int64_t wakeAt = deadline;
    {
      std::lock_guard lock(port->mutex);
      if (port->responder.HungUp() && port->toPc.empty()) {
        *bufferSize = got;
        return kClInvalidReference;
      }
      const std::int64_t now = sim::MonotonicUs();
      while (got < *bufferSize && !port->toPc.empty() && port->toPc.front().readableAtUs <= now) {
        buffer[got++] = static_cast<std::int8_t>(port->toPc.front().byte);
        port->toPc.pop_front();
      }
      if (got == *bufferSize) break;
      if (now >= deadline) break;
      if (!port->toPc.empty()) wakeAt = std::min(deadline, port->toPc.front().readableAtUs);
    }
    SleepUntil(wakeAt);
  }
  const bool complete = got == *bufferSize;
  *bufferSize = got;
  return complete ? kClNoError : kClTimeout;
}

__attribute__((visibility("default"))) void clSerialClose(void* serialRef) {
  {
    std::lock_guard lock(g_latestMutex);
    if (g_latestPort == serialRef) g_latestPort = nullptr;
  }
  delete static_cast<VirtualPort*>(serialRef);
}

// Test hook: the three register bytes V0 V1 V2 at (h1, area, address) of the
// virtual camera behind `serialRef` (null = the port opened last). 0, or -1
// for a bad reference or address.
__attribute__((visibility("default"))) std::int32_t tavrelSimReadRegister(void* serialRef,
                                                                          std::int32_t h1,
                                                                          std::int32_t area,
                                                                          std::int32_t address,
                                                                          std::uint8_t* bytesOut) {
  auto* port = PortFor(serialRef);
  if (port == nullptr || bytesOut == nullptr) return -1;
  std::lock_guard lock(port->mutex);
  const auto bytes = port->responder.Registers().Read(h1, area, address);
  if (!bytes) return -1;
  for (std::size_t i = 0; i < 3; ++i) bytesOut[i] = (*bytes)[i];
  return 0;
}

// Test hook: overwrites the register bytes (null reference = the port opened
// last). 0, or -1.
__attribute__((visibility("default"))) std::int32_t tavrelSimWriteRegister(
    void* serialRef, std::int32_t h1, std::int32_t area, std::int32_t address,
    const std::uint8_t* bytes) {
  auto* port = PortFor(serialRef);
  if (port == nullptr || bytes == nullptr) return -1;
  std::lock_guard lock(port->mutex);
  return port->responder.Registers().Write(h1, area, address, {bytes[0], bytes[1], bytes[2]}) ? 0
                                                                                              : -1;
}

}  // extern "C"
