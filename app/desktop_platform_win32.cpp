#include <windows.h>
// (windows.h first: shellapi.h and sddl.h need its types.)
#include <sddl.h>
#include <shellapi.h>
// The string table's LoadString below, not the Windows function of that name.
#undef LoadString

#include <QApplication>
#include <QFont>
#include <memory>

#include "app/desktop_platform.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

// Whether the standard handle leads somewhere: a file or pipe it was
// redirected to, or a console.
bool HasStandardHandle(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Text lines end in CR LF on Windows, on a console and in a file alike.
QString WindowsLines(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// A console takes UTF-16, whatever its code page; a file or pipe gets UTF-8.
bool WriteTo(HANDLE handle, const QString& text) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) {
    return WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.utf16()),
                         static_cast<DWORD>(text.size()), &written, nullptr) != 0;
  }
  const QByteArray bytes = text.toUtf8();
  return WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) != 0;
}

// The logon session's own SID (S-1-5-5-X-Y): each logon has its own, also
// two logons under the same user name.
QString LogonIdentifier() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  QString identifier;
  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  auto buffer = std::make_unique<unsigned char[]>(size);
  auto* groups = reinterpret_cast<TOKEN_GROUPS*>(buffer.get());
  if (size > 0 && GetTokenInformation(token, TokenGroups, groups, size, &size)) {
    for (DWORD i = 0; i < groups->GroupCount && identifier.isEmpty(); ++i) {
      if ((groups->Groups[i].Attributes & SE_GROUP_LOGON_ID) != SE_GROUP_LOGON_ID) continue;
      LPWSTR text = nullptr;
      if (ConvertSidToStringSidW(groups->Groups[i].Sid, &text)) {
        identifier = QString::fromWCharArray(text);
        LocalFree(text);
      }
    }
  }
  if (identifier.isEmpty()) {
    // No logon SID in the token: the logon session's number serves as well.
    TOKEN_STATISTICS statistics{};
    if (GetTokenInformation(token, TokenStatistics, &statistics, sizeof statistics, &size)) {
      identifier = QStringLiteral("%1-%2")
                       .arg(statistics.AuthenticationId.HighPart)
                       .arg(statistics.AuthenticationId.LowPart);
    }
  }
  CloseHandle(token);
  return identifier;
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

std::string LocalFilePath(const QString& path) {
  return path.toStdString();
}

bool WriteToConsole(std::FILE* stream, const QString& text) {
  const DWORD which = stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  std::fflush(stream);
  if (HasStandardHandle(which)) return WriteTo(GetStdHandle(which), WindowsLines(text));
  // Started from a command prompt, a program of the window subsystem gets no
  // console; it borrows the prompt's for the text, and lets go of it after,
  // so that closing that console later does not end the program.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  const bool written = console != INVALID_HANDLE_VALUE && WriteTo(console, WindowsLines(text));
  if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
  FreeConsole();
  return written;
}

void ShowInMessageBox(const QString& text, bool isError) {
  const std::string_view name = res::LoadString(res::kIdsAppName);
  const QString caption = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.utf16()),
              reinterpret_cast<const wchar_t*>(caption.utf16()),
              MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}

QString InstanceChannelOwner() {
  QString owner = qEnvironmentVariable("USERNAME");
  const QString logon = LogonIdentifier();
  if (!logon.isEmpty()) owner += QLatin1Char('-') + logon;
  return owner;
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
