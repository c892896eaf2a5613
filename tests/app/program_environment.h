// The environment for the real window program started as a child process by
// a test: its own instance channel, so it never meets the user's running
// program, and, where given, a profile folder of its own.
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace tavrel::testing {

inline QProcessEnvironment ProgramEnvironment(const QString& channel,
                                              const QString& configHome = {}) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TAVREL_INSTANCE_NAME"), channel);
  if (!configHome.isEmpty()) {
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    environment.insert(QStringLiteral("APPDATA"), configHome);  // where Windows keeps it
  }
  return environment;
}

}  // namespace tavrel::testing
