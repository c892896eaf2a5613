#include <iostream>

#include "cli/exit_status.h"
#include "cli/last_handler.h"
#include "cli/standard_output.h"
#include "cli/tavrelctl.h"

int main(int argc, char** argv) {
  using namespace tavrel::cli;
  HoldClosedStandardDescriptors();
  DescriptorOutput output(1);
  std::ostream out(&output);
  int status = RunToTheEnd([&] { return Run(argc, argv, out, std::cerr); }, std::cerr);
  // Output that did not arrive is work not done.
  if (!output.Flush()) {
    std::cerr << "tavrelctl: cannot write the output: " << output.ErrorText() << '\n';
    if (status == kExitOk) status = kExitFile;
  }
  return status;
}
