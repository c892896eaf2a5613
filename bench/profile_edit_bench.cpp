// One profile edit (an entry set, an assignment as "ports assign" makes it)
// in a profile of many entries, against the same edit in one a tenth the
// size: a ratio of 10 or less is an edit that stays linear in the file's
// length (a flush to disk is the same in both).
// Usage: bench_profile_edit [entries]   (default 100000)
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_clock.h"
#include "model/profile_file.h"

namespace {

// Seconds for one edit of a profile of `entries` entries, the entry edited
// standing in the middle of them.
double EditSeconds(const std::string& folder, int entries) {
  const std::string path = folder + "/profile-" + std::to_string(entries) + ".ini";
  {
    std::ofstream file(path, std::ios::binary);
    file << "[COM Ports]\n";
    for (int i = 0; i < entries; ++i) file << "Entry" << i << "=/dev/ttyUSB" << i << '\n';
  }
  const double start = tavrel::bench::Seconds(CLOCK_MONOTONIC);
  const std::string failure = tavrel::WriteProfileString(
      path, "com ports", "Entry" + std::to_string(entries / 2), "/dev/serial/by-id/x");
  const double seconds = tavrel::bench::Seconds(CLOCK_MONOTONIC) - start;
  if (!failure.empty()) std::fprintf(stderr, "bench_profile_edit: %s\n", failure.c_str());
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  char pattern[] = "/tmp/tavrel-profile-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const double small = EditSeconds(pattern, entries / 10);
  const double large = EditSeconds(pattern, entries);
  std::filesystem::remove_all(pattern);
  std::printf(
      "one edit: %d entries %.4f s, %d entries %.4f s, ratio %.1f (10 or less: linear; 100 would "
      "be quadratic)\n",
      entries / 10, small, entries, large, small > 0 ? large / small : 0.0);
  return 0;
}
