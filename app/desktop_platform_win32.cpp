#include <windows.h>
// (windows.h first: shellapi.h needs its types.)
#include <shellapi.h>

#include <QApplication>
#include <QFont>

#include "app/desktop_platform.h"

namespace tavrel {
namespace {

// Whether the standard handle leads somewhere: a file or pipe it was
// redirected to, or a console.
bool HasStandardHandle(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

QStringList ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {  // out of memory: the narrow arguments are all there is
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
  }
  QStringList arguments;
  for (int i = 0; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
  LocalFree(wide);
  return arguments;
}

void WriteToConsole(std::FILE* stream, const QString& text) {
  const DWORD which = stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  // Started from a command prompt, a program of the window subsystem gets no
  // console; it borrows the prompt's for the text, and lets go of it after,
  // so that closing that console later does not end the program.
  bool borrowed = false;
  if (!HasStandardHandle(which) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    borrowed = std::freopen("CONOUT$", "w", stream) != nullptr;
    if (!borrowed) FreeConsole();
  }
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
  if (borrowed) FreeConsole();
}

QString DesktopUserName() {
  return qEnvironmentVariable("USERNAME");
}

void UseJapaneseFontFallback() {
  // Windows 10 and later always have Yu Gothic UI; Meiryo UI and MS UI Gothic
  // come with earlier versions or the Japanese supplemental fonts. Qt's own
  // fallback on a Windows of another language tries only MS UI Gothic before
  // taking any font with the characters.
  const QStringList japanese = {QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"),
                                QStringLiteral("MS UI Gothic"), QStringLiteral("MS Gothic")};
  QStringList families = {QApplication::font().family(),
                          QApplication::font("QMessageBox").family()};
  families.removeDuplicates();
  for (const QString& family : families) QFont::insertSubstitutions(family, japanese);
}

QString MissingDisplayText() {
  return {};
}

}  // namespace tavrel
