#include <ostream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/failure_exit.h"
#include "cli/standard_output.h"
#include "cli/tavrelctl.h"
#ifdef _WIN32
#include "link/file_paths.h"
#endif

namespace {

int RunTavrelctl(int argc, char** argv) {
  using namespace tavrel::cli;
  InstallFailureExits();
  HoldClosedStandardDescriptors();
  DescriptorOutput output(1);
  std::ostream out(&output);
  DescriptorOutput errorOutput(2);
  std::ostream err(&errorOutput);
  // Messages go out as they are made, as on an unbuffered stderr.
  err << std::unitbuf;
  int status = RunReportingFailures([&] { return Run(argc, argv, out, err); }, err);
  // Output that did not arrive is work not done.
  if (!output.Flush()) {
    err << "tavrelctl: cannot write the output: " << output.ErrorText() << '\n';
    if (status == kExitOk) status = kExitFile;
  }
  return status;
}

}  // namespace

#ifdef _WIN32
// The command line in UTF-16, as the user typed it: a file name outside the
// system's code page arrives whole, and goes on as UTF-8.
int wmain(int argc, wchar_t** wideArgv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(tavrel::Utf8Text(wideArgv[i]));
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return RunTavrelctl(argc, argv.data());
}
#else
int main(int argc, char** argv) {
  return RunTavrelctl(argc, argv);
}
#endif
