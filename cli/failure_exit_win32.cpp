// On Windows the runtime's abort ends a program with 3, which tavrelctl's
// scripts read as a camera failure, and a crash with the exception's code:
// both, and the runtime's terminate, print their reason and end with
// kExitInternal instead.
#include <io.h>
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "cli/exit_status.h"
#include "cli/failure_exit.h"

namespace tavrel::cli {
namespace {

void WriteError(const std::string& text) {
  _write(2, text.data(), static_cast<unsigned>(text.size()));
}

[[noreturn]] void OnTerminate() {
  WriteError(UnexpectedFailureText());
  std::_Exit(kExitInternal);
}

void OnAbort(int) {
  WriteError("tavrelctl: the program was aborted\n");
  std::_Exit(kExitInternal);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception) {
  char text[80];
  std::snprintf(text, sizeof text, "tavrelctl: the program crashed (exception 0x%08lX)\n",
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
  WriteError(text);
  std::_Exit(kExitInternal);
}

}  // namespace

void InstallFailureExits() {
  std::set_terminate(OnTerminate);
  std::signal(SIGABRT, OnAbort);
  SetUnhandledExceptionFilter(OnCrash);
  // No error boxes of the system: a script has nobody to close them.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

}  // namespace tavrel::cli
