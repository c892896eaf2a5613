// On POSIX systems the runtime's terminate is the one way out without a
// status of ours: abort and a crash end with their signal, as shells show.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "cli/exit_status.h"
#include "cli/failure_exit.h"

namespace tavrel::cli {
namespace {

void WriteError(const std::string& text) {
  // No stream: the failure may have come from one.
  const ssize_t written = ::write(2, text.data(), text.size());
  static_cast<void>(written);
}

[[noreturn]] void OnTerminate() {
  WriteError(UnexpectedFailureText());
  std::_Exit(kExitInternal);
}

}  // namespace

void InstallFailureExits() {
  std::set_terminate(OnTerminate);
}

}  // namespace tavrel::cli
