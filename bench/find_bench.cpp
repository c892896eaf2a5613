// Finding the camera among ten serial lines: one virtual camera answering at
// 38400 baud only (paced at that rate) and nine silent pseudo-terminals. The
// probes run side by side; the figure to hold against them is the same ten
// probed one at a time. Goal: under 1 s of wall time for the ten.
// Usage: find_bench [rounds = 5]
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "model/camera_find.h"
#include "sim/pty_camera.h"

namespace {

using tavrel::bench::Seconds;

// A pseudo-terminal nobody answers on; the master stays open so that the
// line does not hang up.
struct SilentLine {
  int master = -1;
  std::string path;
};

SilentLine OpenSilentLine() {
  SilentLine line;
  int slave = -1;
  char name[256] = {};
  if (openpty(&line.master, &slave, name, nullptr, nullptr) != 0) return line;
  close(slave);
  line.path = name;
  return line;
}

struct Figures {
  double wall;
  double cpu;
  std::size_t found;
};

Figures Find(const tavrel::ComPortDirectory& directory, const std::vector<std::string>& paths) {
  const double wall0 = Seconds(CLOCK_MONOTONIC);
  const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const tavrel::CameraSearch search = tavrel::FindCameras(directory, paths);
  return {Seconds(CLOCK_MONOTONIC) - wall0, Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0,
          search.found.size()};
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  sim::CameraOptions options;
  options.lineBaud = 38400;
  options.paceBaud = 38400;
  sim::PtyCamera camera(options);
  std::vector<std::string> paths;
  std::vector<SilentLine> silent;
  for (int i = 0; i < 9; ++i) {
    silent.push_back(OpenSilentLine());
    if (silent.back().path.empty()) {
      std::perror("openpty");
      return 1;
    }
    paths.push_back(silent.back().path);
  }
  // The camera last: its line is probed at all three rates too.
  paths.push_back(camera.DevicePath());
  // No profile and no environment: the lines are named.
  const tavrel::ComPortDirectory directory("/nonexistent/tavrel-bench.ini", {},
                                           [](const std::string&) { return std::nullopt; });

  double together = 0;
  double together_cpu = 0;
  double alone = 0;
  for (int round = 0; round < rounds; ++round) {
    const Figures all = Find(directory, paths);
    if (all.found != 1) {
      std::fprintf(stderr, "round %d: %zu cameras found, 1 expected\n", round, all.found);
      return 1;
    }
    together += all.wall;
    together_cpu += all.cpu;
    for (const std::string& path : paths) alone += Find(directory, {path}).wall;
  }
  together /= rounds;
  together_cpu /= rounds;
  alone /= rounds;
  std::printf("ten lines side by side: %.3f s wall, %.1f ms CPU (mean of %d)\n", together,
              together_cpu * 1e3, rounds);
  std::printf("the same ten one at a time: %.3f s wall: %.1f times as long\n", alone,
              together > 0 ? alone / together : 0.0);
  std::printf("goal: under 1 s of wall time for the ten\n");
  for (const SilentLine& line : silent) close(line.master);
  return 0;
}
