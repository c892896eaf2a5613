// CameraLink serial test library: serial port 0 is an in-process virtual
// camera, configured by TAVREL_CLSERSIM (the options of tavrel-camsim but
// --baud, plus --init-fail). The camera answers as soon as the PC's bytes are
// written; with --pace, bytes become readable only after their wire time.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <mutex>

#include "sim/camera_command_line.h"
#include "sim/camera_wire.h"
#include "sim/trace_log.h"

namespace {

// Result codes of the CameraLink serial calls.
constexpr std::int32_t kClNoError = 0;
constexpr std::int32_t kClPortInUse = -10003;
constexpr std::int32_t kClTimeout = -10004;
constexpr std::int32_t kClInvalidIndex = -10005;
constexpr std::int32_t kClInvalidReference = -10006;

// The wire on the real clock: calls wait for it, and the test hooks may come
// from another thread.
struct VirtualPort {
  explicit VirtualPort(const sim::CameraOptions& options) : wire(options) {}

  std::mutex mutex;
  sim::CameraWire wire;
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
    // The four serial calls carry no line rate: there is nothing to match.
    if (commandLine.options.lineBaud != 0) {
      std::fprintf(stderr,
                   "libclsersim: TAVREL_CLSERSIM: --baud is for a serial line, not a "
                   "board's serial channel\n");
      return kClInvalidIndex;
    }
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
  if (port->wire.HungUp()) {
    *bufferSize = 0;
    return kClInvalidReference;
  }
  const std::int64_t start = sim::MonotonicUs();
  const std::int64_t deadline = start + static_cast<std::int64_t>(serialTimeout) * 1000;
  const auto sent =
      port->wire.Send(reinterpret_cast<const std::uint8_t*>(buffer), *bufferSize, start, deadline);
  const std::int64_t lineFree = port->wire.SendEndUs();
  const bool hungUp = port->wire.HungUp();
  lock.unlock();
  // A paced write lasts until its bytes have left; an unpaced one is done.
  if (lineFree > start) SleepUntil(lineFree);
  const bool complete = sent.taken == *bufferSize;
  *bufferSize = static_cast<std::uint32_t>(sent.taken);
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
  auto* bytes = reinterpret_cast<std::uint8_t*>(buffer);
  while (got < *bufferSize) {
    std::int64_t wakeAt = deadline;
    {
      std::lock_guard lock(port->mutex);
      const auto next = port->wire.NextReadableUs();
      if (port->wire.HungUp() && !next) {
        *bufferSize = got;
        return kClInvalidReference;
      }
      const std::int64_t now = sim::MonotonicUs();
      got += static_cast<std::uint32_t>(port->wire.Receive(bytes + got, *bufferSize - got, now));
      if (got == *bufferSize) break;
      if (now >= deadline) break;
      if (const auto later = port->wire.NextReadableUs()) wakeAt = std::min(deadline, *later);
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
  const auto bytes = port->wire.Camera().Registers().Read(h1, area, address);
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
  return port->wire.Camera().Registers().Write(h1, area, address, {bytes[0], bytes[1], bytes[2]})
             ? 0
             : -1;
}

}  // extern "C"
