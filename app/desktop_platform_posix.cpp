#include <QFile>

#include "app/desktop_platform.h"

namespace tavrel {

QStringList ProgramArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

std::string LocalFilePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

bool WriteToConsole(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  return true;
}

void ShowInMessageBox(const QString&, bool) {
  // Never needed: stdout and stderr are always there.
}

QString InstanceChannelOwner() {
  return qEnvironmentVariable("USER");
}

void UseJapaneseFontFallback() {
  // fontconfig already falls back to an installed font with the characters.
}

QString MissingDisplayText() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  // Offscreen, VNC or a frame buffer: the user's own choice.
  if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
    return {};
  }
  if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    return {};
  }
  return QStringLiteral(
      "tavrel: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); the window\n"
      "program needs one. In a terminal, tavrelctl reaches the camera instead\n"
      "(tavrelctl --help; for example tavrelctl --simulate read-all).\n");
}

}  // namespace tavrel
