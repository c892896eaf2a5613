// Clock readings for the benchmarks.
#pragma once

#include <ctime>

namespace tavrel::bench {

// `clock` (CLOCK_MONOTONIC for wall time, CLOCK_THREAD_CPUTIME_ID and
// CLOCK_PROCESS_CPUTIME_ID for processor time) in seconds.
inline double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace tavrel::bench
