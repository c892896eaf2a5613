#include <cstdio>
#include <exception>

#include "app/guarded_application.h"
#include "app/run_tavrel.h"

int main(int argc, char** argv) {
  // What escapes the event loop's own handler (GuardedApplication) ends here,
  // said and with its own status.
  try {
    return tavrel::RunTavrel(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavrel: internal error: %s\n", error.what());
  } catch (...) {
    std::fputs("tavrel: internal error: an unknown exception\n", stderr);
  }
  return tavrel::kExitInternal;
}
