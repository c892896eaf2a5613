// tavrelctl's ways out besides its commands' statuses: every one says why and
// ends with a status of its own list.
#include "cli/failure_exit.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "cli/exit_status.h"

namespace tavrel::cli {
namespace {

TEST(FailureExit, AnExceptionEscapingACommandIsSaidWithADocumentedStatus) {
  const struct {
    const char* what;
    std::function<int()> run;
    int status;
    const char* says;
  } rows[] = {
      {"a status", [] { return kExitCamera; }, kExitCamera, ""},
      {"out of memory", []() -> int { throw std::bad_alloc(); }, kExitInternal,
       "tavrelctl: out of memory\n"},
      {"a file",
       []() -> int {
         throw std::filesystem::filesystem_error("cannot read", "x.tdx",
                                                 std::make_error_code(std::errc::io_error));
       },
       kExitFile, "tavrelctl: filesystem error: cannot read: Input/output error [x.tdx]\n"},
      {"anything else", []() -> int { throw std::runtime_error("bad byte"); }, kExitInternal,
       "tavrelctl: unexpected failure: bad byte\n"},
      {"not even an exception", []() -> int { throw 42; }, kExitInternal,
       "tavrelctl: unexpected failure\n"},
  };
  for (const auto& row : rows) {
    std::ostringstream err;
    EXPECT_EQ(RunReportingFailures(row.run, err), row.status) << row.what;
    EXPECT_EQ(err.str(), row.says) << row.what;
  }
}

TEST(FailureExitDeathTest, TheRuntimesTerminateSaysWhyAndEndsWithADocumentedStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        InstallFailureExits();
        // As an exception leaving a destructor or a thread ends.
        try {
          throw std::runtime_error("thrown where nothing may be");
        } catch (...) {
          std::terminate();
        }
      },
      ::testing::ExitedWithCode(kExitInternal),
      "^tavrelctl: unexpected failure: thrown where nothing may be\n$");
}

}  // namespace
}  // namespace tavrel::cli
