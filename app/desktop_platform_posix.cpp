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

}  // namespace tavrel
