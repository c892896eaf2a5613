#include "app/desktop_platform.h"

namespace tavrel {

QStringList ProgramArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

void WriteToConsole(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

QString DesktopUserName() {
  return qEnvironmentVariable("USER");
}

void UseJapaneseFontFallback() {
  // fontconfig already falls back to an installed font with the characters.
}

}  // namespace tavrel
