// Processor time of a failing exchange on a line that hangs up: the camera's
// end goes away in the middle of a read command (an unplugged adapter, a
// closed pty), and the exchange after it, which opens the device again and
// finds it gone. The link must end the exchanges without spinning.
// Usage: hangup_bench [ms before the hang-up = 500]
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/bench_clock.h"
#include "bench/pty_port.h"
#include "link/comm_port.h"

namespace {

using tavrel::bench::Seconds;

struct Figures {
  std::int32_t result;
  double wall;
  double cpu;
};

// One read command; CPU time of this thread only (the peer sleeps).
Figures ReadOnce(tavrel::CommPort& port) {
  const double wall0 = Seconds(CLOCK_MONOTONIC);
  const double cpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
  std::int32_t value = 0;
  const std::int32_t result = port.ReadValue(0x01, 0xFF, 0x81, 0x11, 0, 834, &value);
  return {result, Seconds(CLOCK_MONOTONIC) - wall0, Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0};
}

void Print(const char* what, const Figures& f) {
  std::printf("%s: result %d after %.3f ms wall, %.3f ms CPU: %.2f %% of its wall time\n", what,
              f.result, f.wall * 1e3, f.cpu * 1e3, f.wall > 0 ? 100.0 * f.cpu / f.wall : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int hangUpAfterMs = argc > 1 ? std::atoi(argv[1]) : 500;
  tavrel::CommPort port;
  const int master = tavrel::bench::OpenPortOnPty(port);
  if (master < 0) return 1;
  // The camera never answers, then its end of the line goes away.
  std::thread peer([master, hangUpAfterMs] {
    std::this_thread::sleep_for(std::chrono::milliseconds(hangUpAfterMs));
    close(master);
  });
  const Figures during = ReadOnce(port);
  peer.join();
  const Figures after = ReadOnce(port);
  Print("hang-up during the exchange", during);
  Print("the next exchange, device gone", after);
  std::printf("goal: CPU < 5 %% of the wall time of the exchange that was waiting\n");
  return 0;
}
