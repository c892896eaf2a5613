// A writer of the profile for tests of several writers at once: sets COUNT
// entries "PREFIX<i>" (i from 0) of SECTION in the profile file at PATH to
// i, one edit at a time, as a program storing its settings does.
// Exit status 0 when every edit was written; else the first failure's reason
// on stderr and 1 (2 for a usage error).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/profile_file.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: profile_writer PATH SECTION PREFIX COUNT\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int count = std::atoi(argv[4]);
  for (int i = 0; i < count; ++i) {
    const std::string failure =
        tavrel::WriteProfileInt(path, argv[2], argv[3] + std::to_string(i), i);
    if (!failure.empty()) {
      std::fprintf(stderr, "profile_writer: %s: %s\n", path.c_str(), failure.c_str());
      return 1;
    }
  }
  return 0;
}
