// "tavrelctl reg dump" of a 32-address page against the virtual camera paced
// at 9600 baud on a pty, run through the command's own entry point: measured
// time against pure wire time.
// Usage: register_dump_bench [dumps=5] [baud=9600] [area=tg]
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "cli/tavrelctl.h"
#include "sim/pty_camera.h"

using tavrel::bench::Seconds;

int main(int argc, char** argv) {
  const int dumps = argc > 1 ? std::atoi(argv[1]) : 5;
  const std::string baud = argc > 2 ? argv[2] : "9600";
  const std::string area = argc > 3 ? argv[3] : "tg";
  sim::CameraOptions options;
  options.paceBaud = std::atoi(baud.c_str());
  sim::PtyCamera camera(options);

  std::vector<std::string> args = {
      "tavrelctl", "--device", camera.DevicePath(), "--baud", baud, "reg", "dump", area};
  std::vector<char*> argvDump;
  for (std::string& arg : args) argvDump.push_back(arg.data());

  int failures = 0;
  std::size_t rows = 0;
  const double start = Seconds(CLOCK_MONOTONIC);
  for (int i = 0; i < dumps; ++i) {
    std::ostringstream out;
    std::ostringstream err;
    if (tavrel::cli::Run(static_cast<int>(argvDump.size()), argvDump.data(), out, err) != 0) {
      ++failures;
    }
    const std::string text = out.str();
    for (char c : text) rows += c == '\n' ? 1 : 0;
  }
  const double wall = Seconds(CLOCK_MONOTONIC) - start;
  // Per row: ENQ, ACK, 18-byte frame, ACK, 10-byte reply, ACK: 32 characters
  // of 11 bits (8N2).
  const double wire = static_cast<double>(rows) * 32.0 * 11.0 / options.paceBaud;
  std::printf("dumps: %d of area %s at %s baud, rows read: %zu, failures: %d\n", dumps,
              area.c_str(), baud.c_str(), rows, failures);
  std::printf("measured: %.3f s, pure wire time: %.3f s, ratio: %.4f\n", wall, wire,
              rows > 0 ? wall / wire : 0.0);
  // The next command's purge may discard the PC's closing ACK before the
  // camera has read it from the pty; then 31 characters travel.
  std::printf("against 31 characters per row (closing ACK purged): ratio %.4f\n",
              rows > 0 ? wall / (wire * 31.0 / 32.0) : 0.0);
  std::printf("per dump: %.3f s measured, %.3f s on the wire\n", wall / dumps, wire / dumps);
  return failures == 0 ? 0 : 1;
}
