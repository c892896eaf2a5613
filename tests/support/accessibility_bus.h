// A desktop of its own for a test that looks at a program as a screen reader
// does: a virtual X display (Xvfb), a private D-Bus session, and through it
// the accessibility (AT-SPI) bus, started on demand by the session. Nothing
// of the user's desktop is touched; everything started here is stopped again.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tavrel::testing {

// A child process, ended (SIGTERM, then waited for) when the object goes, or
// when this process dies first.
class ChildProcess {
 public:
  ChildProcess() = default;
  struct Options {
    // The child leads a process group of its own, and ending it ends the
    // whole group (the programs it started as well).
    bool ownGroup = false;
    // Its standard output and error go nowhere.
    bool quiet = false;
  };
  // `environment` entries ("NAME=value") are added to the current
  // environment. Throws when no process can be made; a program that cannot
  // be run exits at once with status 127.
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
               const Options& options);
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return m_pid; }
  // True while the child has not exited.
  bool Running();
  // Sends SIGTERM (to the group when it has one) and waits for the child.
  void End();

 private:
  pid_t m_pid = -1;
  bool m_ownGroup = false;
};

class AccessibilityBus {
 public:
  // Starts the display and the session; check Ready().
  AccessibilityBus();
  AccessibilityBus(const AccessibilityBus&) = delete;
  AccessibilityBus& operator=(const AccessibilityBus&) = delete;

  // False when the display or the session could not start; Problem() says why.
  bool Ready() const { return m_problem.empty(); }
  const std::string& Problem() const { return m_problem; }

  // DISPLAY, DBUS_SESSION_BUS_ADDRESS and XDG_RUNTIME_DIR (a folder of the
  // bus's own, where the accessibility bus makes its socket), for this
  // process (set by UseInThisProcess) and for the programs a test starts.
  std::vector<std::string> Environment() const;
  void UseInThisProcess() const;

 private:
  std::string m_problem;
  std::string m_display;               // ":<n>"
  std::string m_sessionAddress;        // as dbus-daemon printed it
  TempFolder m_runtime{"tavrel-bus"};  // removed after everything has ended
  // Declared in start order: ended in reverse, the session before the display.
  ChildProcess m_xvfb;
  ChildProcess m_session;
};

}  // namespace tavrel::testing
