#include "cli/failure_exit.h"

#include <exception>
#include <filesystem>
#include <ios>
#include <new>
#include <string>

#include "cli/exit_status.h"

namespace tavrel::cli {

int RunReportingFailures(const std::function<int()>& run, std::ostream& err) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
    err << "tavrelctl: out of memory\n";
  } catch (const std::filesystem::filesystem_error& e) {
    err << "tavrelctl: " << e.what() << '\n';
    return kExitFile;
  } catch (const std::ios_base::failure& e) {
    err << "tavrelctl: " << e.what() << '\n';
    return kExitFile;
  } catch (...) {
    err << UnexpectedFailureText();
  }
  return kExitInternal;
}

std::string UnexpectedFailureText() {
  std::string text = "tavrelctl: unexpected failure";
  if (const std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      text += std::string(": ") + e.what();
    } catch (...) {
    }
  }
  return text + "\n";
}

}  // namespace tavrel::cli
