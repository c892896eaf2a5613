// The environment for the real window program started as a child process by
// a test: its own instance channel, so it never meets the user's running
// program, and, where given, a profile folder of its own (on Linux).
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace tavrel::testing {

inline QProcessEnvironment ProgramEnvironment(const QString& channel,
                                              const QString& configHome = {}) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TAVREL_INSTANCE_NAME"), channel);
  if (!configHome.isEmpty()) {
    // (On Windows the program asks the system for the user's folder, which
    // no variable moves: there it keeps the prefix user's own profile.)
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
  }
  return environment;
}

}  // namespace tavrel::testing
