#include "app/guarded_application.h"

#include <cstdio>
#include <exception>

#include "app/desktop_platform.h"

namespace tavrel {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    EndWithInternalError(error.what());
  } catch (...) {
    EndWithInternalError("an unknown exception");
  }
  return false;
}

void GuardedApplication::EndWithInternalError(const char* reason) {
  WriteToConsole(
      stderr, QStringLiteral("tavrel: internal error: %1\n").arg(QString::fromLocal8Bit(reason)));
  s_failed = true;
  // Every loop ends, a dialog's as well as the main one.
  QApplication::exit(kExitInternal);
}

}  // namespace tavrel
