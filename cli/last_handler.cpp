#include "cli/last_handler.h"

#include <exception>

#include "cli/exit_status.h"

namespace tavrel::cli {

int RunToTheEnd(const std::function<int()>& command, std::ostream& err) {
  try {
    return command();
  } catch (const std::exception& error) {
    err << "tavrelctl: internal error: " << error.what() << '\n';
  } catch (...) {
    err << "tavrelctl: internal error: an unknown exception\n";
  }
  err.flush();
  return kExitInternal;
}

}  // namespace tavrel::cli
