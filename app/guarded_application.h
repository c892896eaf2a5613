// The window program's application object with its last handler: an
// exception that an event handler lets out (Qt cannot carry one through its
// event loop) is reported on stderr ("tavrel: internal error: ...") and ends
// the program with kExitInternal, instead of an abort that says nothing.
#pragma once

#include <QApplication>

namespace tavrel {

// The exit status of a fault of the program itself, as tavrelctl's.
inline constexpr int kExitInternal = 5;

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  bool notify(QObject* receiver, QEvent* event) override;

  // An exception was caught: the program is ending with kExitInternal.
  static bool Failed() { return s_failed; }

  // Reports `reason` on stderr and ends every event loop with kExitInternal.
  static void EndWithInternalError(const char* reason);

 private:
  static inline bool s_failed = false;
};

}  // namespace tavrel
