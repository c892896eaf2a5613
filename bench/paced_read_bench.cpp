// Read commands through the link against the virtual camera paced at 9600
// baud on a pty: measured time against pure wire time, and CPU per exchange.
// Usage: paced_read_bench [reads=500] [baud=9600] [camera's trace file]
//                         [PC's trace file]
#include <cstdio>
#include <cstdlib>

#include "bench/bench_clock.h"
#include "link/comm_port.h"
#include "sim/pty_camera.h"

using tavrel::bench::Seconds;

int main(int argc, char** argv) {
  const int reads = argc > 1 ? std::atoi(argv[1]) : 500;
  const int baud = argc > 2 ? std::atoi(argv[2]) : 9600;
  sim::CameraOptions options;
  options.paceBaud = baud;
  if (argc > 3) options.traceFile = argv[3];
  sim::PtyCamera camera(options);
  tavrel::CommPort port;
  if (argc > 4 && !port.TraceTo(argv[4])) {
    std::fprintf(stderr, "cannot open the trace file %s\n", port.GetSystemErrorText().c_str());
    return 1;
  }
  if (port.OpenSerialDevice(camera.DevicePath(), baud) != 0) {
    std::fprintf(stderr, "cannot open %s\n", camera.DevicePath().c_str());
    return 1;
  }
  const double wall0 = Seconds(CLOCK_MONOTONIC);
  const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double linkCpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
  int failures = 0;
  for (int i = 0; i < reads; ++i) {
    std::int32_t value = 0;
    if (port.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 834, &value) != 0 || value != 834) ++failures;
  }
  const double wall = Seconds(CLOCK_MONOTONIC) - wall0;
  const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
  const double linkCpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - linkCpu0;
  // ENQ, ACK, 18-byte frame, ACK, 10-byte reply, ACK: 32 characters of 11 bits.
  const double wire = reads * 32.0 * 11.0 / baud;
  std::printf("reads: %d at %d baud (8N2), failures: %d\n", reads, baud, failures);
  std::printf("measured: %.3f s, pure wire time: %.3f s, ratio: %.4f\n", wall, wire, wall / wire);
  std::printf("CPU per exchange: %.1f us process (link + camera), %.1f us link thread\n",
              cpu / reads * 1e6, linkCpu / reads * 1e6);
  return failures == 0 ? 0 : 1;
}
