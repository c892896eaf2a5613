// What the window program does differently on each desktop system: how it
// gets its command line, how it names a file to the model's file calls,
// where its command-line text goes, whose instance channel it listens on,
// which fonts draw the register editor's Japanese, and whether there is a
// display to show windows on.
// One file per system: desktop_platform_posix.cpp, desktop_platform_win32.cpp.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <string>

namespace tavrel {

// The program's arguments, argv[0] first, as the user typed them (on Windows
// from the wide command line, so a file name outside the system's code page
// arrives whole).
QStringList ProgramArguments(int argc, char** argv);

// `path` as the model's file calls take it (link/file_paths.h): UTF-8 on
// Windows, the file system's own encoding elsewhere.
std::string LocalFilePath(const QString& path);

// Writes `text` to stdout or stderr. On Windows the window program has no
// console of its own: unless its output was redirected (then as UTF-8), the
// text goes to the console of the command line it was started from, as
// UTF-16 so that every name shows whole. False when there is neither: the
// program was started from the desktop.
bool WriteToConsole(std::FILE* stream, const QString& text);

// Shows `text` in a message box of its own (an error box when `isError`),
// for what WriteToConsole could not get to anyone: a mistake in a shortcut's
// command line is not met with silence.
void ShowInMessageBox(const QString& text, bool isError);

// Whose instance channel this is: the user's login name, and on Windows the
// logon too (two logons under one name on one machine each have their own).
QString InstanceChannelOwner();

// Lets the application's fonts draw the register editor's Japanese labels:
// characters the dialog font lacks come from the system's Japanese
// user-interface fonts. Call once the QApplication exists.
void UseJapaneseFontFallback();

// What to tell the user when no display is there to show the window on, asked
// before Qt is (Qt's own answer is an abort advising to reinstall): empty when
// there is one, or when another kind of output was chosen (QT_QPA_PLATFORM).
// Windows always has one.
QString MissingDisplayText();

}  // namespace tavrel
