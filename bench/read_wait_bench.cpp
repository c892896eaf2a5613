// How much processor time a COM-port Read uses while it waits for a camera
// that answers late: the wait must sleep in poll(), not spin.
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/pty_port.h"
#include "link/comm_port.h"

namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main() {
  tavrel::CommPort port;
  const int master = tavrel::bench::OpenPortOnPty(port);
  if (master < 0) return 1;

  constexpr auto kAnswerDelay = std::chrono::seconds(2);
  // The peer answers once, late; it sleeps meanwhile, so the process's CPU time
  // is the waiting Read's.
  std::thread peer([master, kAnswerDelay] {
    std::this_thread::sleep_for(kAnswerDelay);
    const char answer = '\x06';
    if (write(master, &answer, 1) != 1) std::perror("write");
  });

  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  std::uint8_t byte = 0;
  const std::int32_t got = port.Read(&byte, 1, 5000);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  peer.join();
  close(master);

  std::printf("read result %d after %.3f s wall, %.4f s CPU: %.3f %% of the wait (goal < 1 %%)\n",
              got, wall, cpu, wall > 0 ? 100.0 * cpu / wall : 0.0);
  return got == 1 ? 0 : 1;
}
